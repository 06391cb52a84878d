#include "ledger/monthchart.h"

#include "platform/modules.h"
#include "views/dataview.h"
#include "views/font.h"
#include "views/format.h"

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
    for (long r = 1; r <= view->rowCount(); ++r) {
        const QString month = view->getItemString(r, QStringLiteral("vdate"));
        months.append({month, monthLabel(month), valueOf(view, r, QStringLiteral("out")),
                       valueOf(view, r, QStringLiteral("in")), valueOf(view, r, QStringLiteral("diff"))});
    }
    return months;
}

MonthChart *makeMonthChart(QWidget *parent)
{
    QString reason;
    auto *charts = platform::module<MonthCharts>(QStringLiteral("charts"), &reason);
    if (!charts) {
        platform::showModuleFailure(reason);
        return nullptr;
    }
    return charts->monthChart(parent, views::songtiFont(8));
}

} // namespace ledger
