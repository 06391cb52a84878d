#pragma once
// The chart under the monthly statistics: each month's expense and income as bars, its balance as a
// line, drawn from the rows the statistics grid shows, so that every figure equals the grid's. The
// month labels are thinned to what the width can hold, so twenty years of months stay readable.

#include <QChartView>
#include <QList>
#include <optional>

class QCategoryAxis;

namespace views {
class DataView;
}

namespace ledger {

struct MonthFigures
{
    QString month;                 // yyyymm as stored; empty for the entries without a date
    std::optional<double> out;     // no value: the month has no expense
    std::optional<double> in;
    std::optional<double> diff;
};

// The rows of a statistics view, in their order.
QList<MonthFigures> monthFigures(const views::DataView *view);

class MonthChart : public QChartView
{
    Q_OBJECT
public:
    explicit MonthChart(QWidget *parent = nullptr);

    // Draws these months, replacing what was drawn; with no month the chart is empty.
    void draw(const QList<MonthFigures> &months);
    const QList<MonthFigures> &months() const { return m_months; }
    // Every how many months a label stands.
    int labelStep() const { return m_step; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeLabels();

    QList<MonthFigures> m_months;
    QCategoryAxis *m_x = nullptr;
    int m_step = 1;
};

} // namespace ledger
