#include "ledger/monthchart.h"

#include "views/dataview.h"
#include "views/font.h"
#include "views/format.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>

namespace ledger {

namespace {

std::optional<double> valueOf(const views::DataView *view, long row, const QString &column)
{
    if (view->getItem(row, column).isNull())
        return std::nullopt;
    return view->getItemNumber(row, column);
}

// As the grid shows the month; the entries without a date have a month without a name.
QString monthLabel(const QString &month)
{
    return month.isEmpty() ? QStringLiteral("无日期") : views::applyTextMask(QStringLiteral("####-##"), month);
}

} // namespace

QList<MonthFigures> monthFigures(const views::DataView *view)
{
    QList<MonthFigures> months;
    months.reserve(view->rowCount());
    for (long r = 1; r <= view->rowCount(); ++r)
        months.append({view->getItemString(r, QStringLiteral("vdate")), valueOf(view, r, QStringLiteral("out")),
                       valueOf(view, r, QStringLiteral("in")), valueOf(view, r, QStringLiteral("diff"))});
    return months;
}

MonthChart::MonthChart(QWidget *parent)
    : QChartView(parent)
{
    setRenderHint(QPainter::Antialiasing);
    setFrameShape(QFrame::StyledPanel);
    QChart *c = chart();
    c->setBackgroundRoundness(0);
    c->setMargins(QMargins(4, 4, 4, 4));
    c->legend()->setFont(views::songtiFont(9));
    c->legend()->setAlignment(Qt::AlignTop);
    c->legend()->hide();
}

void MonthChart::draw(const QList<MonthFigures> &months)
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

    const QFont font = views::songtiFont(8);
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

void MonthChart::resizeEvent(QResizeEvent *event)
{
    QChartView::resizeEvent(event);
    placeLabels();
}

void MonthChart::placeLabels()
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
        m_x->append(monthLabel(m_months.at(i).month), qreal(i));
}

} // namespace ledger
