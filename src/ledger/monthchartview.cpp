// The module "charts": the statistics' chart, drawn with the toolkit's charting library, which
// only this module links.

#include "ledger/monthchart.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChartView>
#include <QLineSeries>
#include <QValueAxis>
#include <QtPlugin>
#include <algorithm>

namespace ledger {

namespace {

class MonthChartView : public QChartView, public MonthChart
{
public:
    MonthChartView(QWidget *parent, const QFont &font);

    QWidget *widget() override { return this; }
    void draw(const QList<MonthFigures> &months) override;
    const QList<MonthFigures> &months() const override { return m_months; }
    int labelStep() const override { return m_step; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeLabels();

    QFont m_font;
    QList<MonthFigures> m_months;
    QCategoryAxis *m_x = nullptr;
    int m_step = 1;
};

MonthChartView::MonthChartView(QWidget *parent, const QFont &font)
    : QChartView(parent)
    , m_font(font)
{
    setRenderHint(QPainter::Antialiasing);
    setFrameShape(QFrame::StyledPanel);
    QChart *c = chart();
    c->setBackgroundRoundness(0);
    c->setMargins(QMargins(4, 4, 4, 4));
    QFont legend = font;
    legend.setPointSize(font.pointSize() + 1);
    c->legend()->setFont(legend);
    c->legend()->setAlignment(Qt::AlignTop);
    c->legend()->hide();
}

void MonthChartView::draw(const QList<MonthFigures> &months)
{
    QChart *c = chart();
    c->removeAllSeries();
    for (QAbstractAxis *axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
    m_x = nullptr;
    m_months = months;
    c->legend()->setVisible(!months.isEmpty());
    if (months.isEmpty())
        return;

    // A side without a value has no bar; the balance line passes over the months without one.
    QList<qreal> outs, ins;
    QList<QPointF> balance;
    double low = 0, high = 0;
    for (qsizetype i = 0; i < months.size(); ++i) {
        const MonthFigures &m = months.at(i);
        outs << m.out.value_or(0);
        ins << m.in.value_or(0);
        low = std::min({low, outs.last(), ins.last()});
        high = std::max({high, outs.last(), ins.last()});
        if (m.diff) {
            balance << QPointF(qreal(i), *m.diff);
            low = std::min(low, *m.diff);
            high = std::max(high, *m.diff);
        }
    }
    auto *out = new QBarSet(QStringLiteral("支出"));
    out->setColor(QColor(66, 110, 214));
    out->setBorderColor(QColor(66, 110, 214));
    out->append(outs);
    auto *in = new QBarSet(QStringLiteral("收入"));
    in->setColor(QColor(0, 150, 60));
    in->setBorderColor(QColor(0, 150, 60));
    in->append(ins);
    auto *bars = new QBarSeries;
    bars->setBarWidth(0.8);
    bars->append(out);
    bars->append(in);
    auto *line = new QLineSeries;
    line->setName(QStringLiteral("节余"));
    line->setPen(QPen(QColor(220, 40, 30), 2));
    // A month whose neighbours have no balance still shows its own.
    line->setPointsVisible(true);
    line->setMarkerSize(7);
    line->replace(balance);
    c->addSeries(bars);
    c->addSeries(line);

    const QFont &font = m_font;
    m_x = new QCategoryAxis;
    m_x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_x->setStartValue(-0.5);
    m_x->setRange(-0.5, qreal(months.size()) - 0.5);
    m_x->setGridLineVisible(false);
    m_x->setLabelsFont(font);
    auto *y = new QValueAxis;
    y->setRange(low, high > low ? high : low + 1);
    y->applyNiceNumbers();
    y->setLabelFormat(QStringLiteral("%.0f"));
    y->setLabelsFont(font);
    c->addAxis(m_x, Qt::AlignBottom);
    c->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries *s : {static_cast<QAbstractSeries *>(bars), static_cast<QAbstractSeries *>(line)}) {
        s->attachAxis(m_x);
        s->attachAxis(y);
    }
    m_step = 0;
    placeLabels();
}

void MonthChartView::resizeEvent(QResizeEvent *event)
{
    QChartView::resizeEvent(event);
    placeLabels();
}

void MonthChartView::placeLabels()
{
    if (!m_x)
        return;
    // As many labels as fit side by side with a gap, the plot taking the width less the value axis.
    const QFontMetrics fm(m_x->labelsFont());
    const int labelWidth = fm.horizontalAdvance(QStringLiteral("0000-00")) + fm.horizontalAdvance(QStringLiteral("00"));
    const int plotWidth = std::max(1, width() - 100);
    const int fit = std::max(1, plotWidth / labelWidth);
    const int n = int(m_months.size());
    const int step = std::max(1, (n + fit - 1) / fit);
    if (step == m_step)
        return;
    m_step = step;
    for (const QString &label : m_x->categoriesLabels())
        m_x->remove(label);
    for (int i = 0; i < n; i += step)
        m_x->append(m_months.at(i).label, qreal(i));
}

} // namespace

class ChartsModule : public QObject, public MonthCharts
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.mivo.MonthCharts/1")
    Q_INTERFACES(ledger::MonthCharts)

public:
    MonthChart *monthChart(QWidget *parent, const QFont &font) override { return new MonthChartView(parent, font); }
};

} // namespace ledger

#include "monthchartview.moc"
