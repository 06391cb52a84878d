#pragma once
// The chart under the monthly statistics: each month's expense and income as bars, its balance as a
// line, drawn from the rows the statistics grid shows, so that every figure equals the grid's. The
// month labels are thinned to what the width can hold, so twenty years of months stay readable.
// The chart and the charting library are the module "charts" (monthchartview.cpp), loaded when the
// ledger page is first filled; this side knows the chart by its interface only.

#include <QFont>
#include <QList>
#include <QObject>
#include <optional>

class QWidget;

namespace views {
class DataView;
}

namespace ledger {

struct MonthFigures
{
    QString month;                 // yyyymm as stored; empty for the entries without a date
    QString label;                 // the month as the grid shows it
    std::optional<double> out;     // no value: the month has no expense
    std::optional<double> in;
    std::optional<double> diff;
};

// The rows of a statistics view, in their order.
QList<MonthFigures> monthFigures(const views::DataView *view);

class MonthChart
{
public:
    virtual ~MonthChart() = default;
    // The chart's widget, owned by the parent it was made with.
    virtual QWidget *widget() = 0;
    // Draws these months, replacing what was drawn; with no month the chart is empty.
    virtual void draw(const QList<MonthFigures> &months) = 0;
    virtual const QList<MonthFigures> &months() const = 0;
    // Every how many months a label stands.
    virtual int labelStep() const = 0;
};

// What the module offers: a chart whose labels take `font`.
class MonthCharts
{
public:
    virtual ~MonthCharts() = default;
    virtual MonthChart *monthChart(QWidget *parent, const QFont &font) = 0;
};

// A chart from the module, or nullptr once the user was told that the module is missing.
MonthChart *makeMonthChart(QWidget *parent);

} // namespace ledger

Q_DECLARE_INTERFACE(ledger::MonthCharts, "org.mivo.MonthCharts/1")
