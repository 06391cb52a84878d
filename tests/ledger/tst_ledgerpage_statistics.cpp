// The ledger's monthly statistics and their chart: what the grid shows for each month and in total,
// and that the chart draws exactly those months and figures, checked against sums the test asks the
// database for itself.

#include "ledgerdriver.h"
#include "testmain.h"

#include "ledger/monthchart.h"
#include "platform/modules.h"
#include "views/dataview.h"
#include "views/definition.h"
#include "views/font.h"
#include "views/summary.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChartView>
#include <QCategoryAxis>
#include <QLineSeries>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTableView>
#include <cmath>
#include <optional>

namespace {

QColor textColor(views::DataView *grid, const QString &column, long row)
{
    auto *table = grid->findChild<QTableView *>();
    for (int s = 0; s < table->model()->columnCount(); ++s)
        if (table->model()->headerData(s, Qt::Horizontal, Qt::DisplayRole).toString() == grid->definition()->column(column)->label)
            return table->model()->index(int(row - 1), s).data(Qt::ForegroundRole).value<QColor>();
    return {};
}

// What the chart draws: the months of its axis, its bars and the points of its line.
struct Drawn
{
    QList<qreal> out, in;
    QList<QPointF> balance;
    QStringList labels;
    bool empty = true;
};

Drawn drawn(ledger::MonthChart *chart)
{
    Drawn d;
    // The chart comes from its module; what it drew is read through the charting library.
    auto *view = qobject_cast<QChartView *>(chart->widget());
    Q_ASSERT(view);
    for (QAbstractSeries *s : view->chart()->series()) {
        d.empty = false;
        if (auto *bars = qobject_cast<QBarSeries *>(s)) {
            for (QBarSet *set : bars->barSets())
                for (int i = 0; i < set->count(); ++i)
                    (set->label() == QStringLiteral("支出") ? d.out : d.in) << set->at(i);
        } else if (auto *line = qobject_cast<QLineSeries *>(s)) {
            d.balance = line->points();
        }
    }
    for (QAbstractAxis *a : view->chart()->axes(Qt::Horizontal))
        if (auto *months = qobject_cast<QCategoryAxis *>(a))
            d.labels = months->categoriesLabels();
    return d;
}

std::optional<double> sqlSum(const QString &type, const QString &month)
{
    const QVariant v = scalar(QStringLiteral("SELECT sum(vmoney) FROM t_account WHERE vtype = ? AND coalesce(vdate, '') GLOB ?"),
                              {type, month.isEmpty() ? QStringLiteral("") : month + QStringLiteral("??")});
    if (v.isNull())
        return std::nullopt;
    return v.toDouble();
}

// The chart against the database, month by month.
void compareWithDatabase(ledger::MonthChart *chart)
{
    const int n = scalar(QStringLiteral("SELECT count(DISTINCT coalesce(substr(vdate, 1, 6), '')) FROM t_account")).toInt();
    const Drawn d = drawn(chart);
    QCOMPARE(d.out.size(), n);
    QCOMPARE(d.in.size(), n);
    QCOMPARE(chart->months().size(), n);
    qsizetype point = 0;
    for (int i = 0; i < n; ++i) {
        const QString month = chart->months().at(i).month;
        if (i > 0)
            QVERIFY(chart->months().at(i - 1).month < month);
        const auto out = sqlSum(QStringLiteral("1"), month);
        const auto in = sqlSum(QStringLiteral("2"), month);
        QVERIFY2(out || in, qPrintable(month));
        QVERIFY2(std::abs(d.out.at(i) - out.value_or(0)) < 0.005, qPrintable(month));
        QVERIFY2(std::abs(d.in.at(i) - in.value_or(0)) < 0.005, qPrintable(month));
        if (out && in) {
            QVERIFY2(point < d.balance.size(), qPrintable(month));
            QCOMPARE(d.balance.at(point).x(), qreal(i));
            QVERIFY2(std::abs(d.balance.at(point).y() - (*in - *out)) < 0.005, qPrintable(month));
            ++point;
        }
    }
    QCOMPARE(point, d.balance.size());
}

} // namespace

class tst_ledgerpage_statistics : public QObject
{
    Q_OBJECT

private slots:
    void emptyUntilComputedAndWithNoEntries()
    {
        LedgerDriver t;
        QCOMPARE(t.page->statistics->rowCount(), 0L);
        QVERIFY(drawn(t.page->monthChart).empty);
        t.showTab(2);
        t.click(t.page->statisticsButton);
        QCOMPARE(t.page->statistics->rowCount(), 0L);
        QVERIFY(drawn(t.page->monthChart).empty);
        QVERIFY(t.fakes.boxes->shown.isEmpty());
    }

    void monthsOfEveryPeriodWithTheirTotals()
    {
        LedgerDriver t(QDate(2009, 2, 14),
                       {{"1", "20081203", "书", 45},
                        {"1", "20090105", "房租", 100}, {"2", "20090110", "工资", 100},
                        {"1", "20090201", "午饭", 25.5}, {"1", "20090228", "车费", 10}, {"2", "20090205", "工资", 5000},
                        {"2", "20091231", "预收", 1},
                        // Without a date: a month of their own, counted only there.
                        {"1", "", "无日期", 7}, {"2", QString(), "也无日期", 3}});
        // The lists show this month only; the statistics count every entry.
        QCOMPARE(t.page->expenses->list->rowCount(), 2L);
        t.showTab(2);
        t.click(t.page->statisticsButton);
        views::DataView *grid = t.page->statistics;
        QCOMPARE(drive::column(grid, QStringLiteral("vdate")), (QStringList{"", "200812", "200901", "200902", "200912"}));
        auto row = [&](long r) {
            return QStringList{grid->displayText(QStringLiteral("vdate"), r), grid->displayText(QStringLiteral("out"), r),
                               grid->displayText(QStringLiteral("in"), r), grid->displayText(QStringLiteral("diff"), r)};
        };
        QCOMPARE(row(1), (QStringList{"", "7.00", "3.00", "-4.00"}));
        QCOMPARE(row(2), (QStringList{"2008-12", "45.00", "", ""}));
        QCOMPARE(row(3), (QStringList{"2009-01", "100.00", "100.00", ".00"}));
        QCOMPARE(row(4), (QStringList{"2009-02", "35.50", "5,000.00", "4,964.50"}));
        QCOMPARE(row(5), (QStringList{"2009-12", "", "1.00", ""}));
        // Only a balance above 0 is green: exactly 0 is red.
        QCOMPARE(textColor(grid, QStringLiteral("diff"), 3), QColor(255, 0, 0));
        QCOMPARE(textColor(grid, QStringLiteral("diff"), 4), QColor(0, 128, 0));
        QCOMPARE(textColor(grid, QStringLiteral("diff"), 1), QColor(255, 0, 0));
        // The totals add up what the months show.
        QCOMPARE(grid->displayText(QStringLiteral("t_total")), QStringLiteral("合计:"));
        QCOMPARE(grid->displayText(QStringLiteral("all_out")), QStringLiteral("187.50"));
        QCOMPARE(grid->displayText(QStringLiteral("all_in")), QStringLiteral("5,104.00"));
        QCOMPARE(grid->displayText(QStringLiteral("all_diff")), QStringLiteral("4,916.50"));
        compareWithDatabase(t.page->monthChart);

        // Saving on the lists does not change the table; the next computation does.
        t.showTab(0);
        t.click(t.page->addButton);
        drive::typeCell(t.page->expenses->list, QStringLiteral("vmoney"), 3, QStringLiteral("64.5"));
        t.click(t.page->saveButton);
        QCOMPARE(t.lastBox().title, QStringLiteral("A03"));
        t.showTab(2);
        QCOMPARE(grid->displayText(QStringLiteral("out"), 4), QStringLiteral("35.50"));
        t.click(t.page->statisticsButton);
        QCOMPARE(grid->displayText(QStringLiteral("out"), 4), QStringLiteral("100.00"));
        QCOMPARE(grid->displayText(QStringLiteral("all_diff")), QStringLiteral("4,852.00"));
        compareWithDatabase(t.page->monthChart);

        // Cents that binary fractions do not add up exactly: 0.10 + 0.20 - 0.30 is a balance of
        // nothing, red, in a month and in the grand total, here made of months of one side only.
        exec(QStringLiteral("DELETE FROM t_account"));
        addEntries({{"2", "20090301", "甲", 0.10}, {"2", "20090302", "乙", 0.20}, {"1", "20090303", "丙", 0.30},
                    {"2", "20090401", "丁", 0.10}, {"2", "20090501", "戊", 0.20}, {"1", "20090601", "己", 0.30}});
        t.click(t.page->statisticsButton);
        QCOMPARE(row(1), (QStringList{"2009-03", ".30", ".30", ".00"}));
        QCOMPARE(textColor(grid, QStringLiteral("diff"), 1), QColor(255, 0, 0));
        QCOMPARE(grid->displayText(QStringLiteral("all_diff")), QStringLiteral("0.00"));
        QCOMPARE(views::Summary(grid->store()).color(*grid->definition()->compute(QStringLiteral("all_diff"))), QColor(255, 0, 0));
    }

    void twentyYearsOfMonthsDrawnAndReadable()
    {
        // 240 months of varied amounts, some months with one side only.
        QList<Entry> entries;
        QRandomGenerator random(20090214);
        for (int m = 0; m < 240; ++m) {
            const QDate first = QDate(1990, 1, 1).addMonths(m);
            for (int k = 0; k < 5; ++k) {
                const QString type = (m % 7 == 3) ? QStringLiteral("1") : (m % 11 == 5) ? QStringLiteral("2")
                                                                          : QString::number(1 + random.bounded(2));
                const double cents = random.bounded(1, 1000000);
                entries.append({type, first.addDays(random.bounded(28)).toString(QStringLiteral("yyyyMMdd")),
                                QStringLiteral("项目"), cents / 100});
            }
        }
        LedgerDriver t(QDate(2009, 2, 14), entries);
        t.showTab(2);
        t.click(t.page->statisticsButton);
        QCOMPARE(t.page->statistics->rowCount(), 240L);
        compareWithDatabase(t.page->monthChart);

        // The labels fit side by side in the chart's width, the first month labelled.
        ledger::MonthChart *chart = t.page->monthChart;
        auto fits = [&] {
            const Drawn d = drawn(chart);
            const QFontMetrics fm(views::songtiFont(8));
            const int wanted = int(d.labels.size()) * fm.horizontalAdvance(QStringLiteral("0000-00"));
            return !d.labels.isEmpty() && d.labels.first() == QStringLiteral("1990-01") && wanted < chart->widget()->width()
                && (d.labels.size() - 1) * chart->labelStep() < 240 && d.labels.size() * chart->labelStep() >= 240;
        };
        QVERIFY(chart->labelStep() > 1);
        QVERIFY(fits());
        const int narrow = chart->labelStep();
        t.page->resize(1900, 1000);
        QCoreApplication::processEvents();
        QVERIFY(chart->labelStep() < narrow);
        QVERIFY(fits());

        // Drawn again on every computation, from what the database holds then.
        addEntries({{"2", "20100315", "新月", 12.34}});
        t.click(t.page->statisticsButton);
        QCOMPARE(t.page->statistics->rowCount(), 241L);
        compareWithDatabase(t.page->monthChart);
    }

    void aFailedComputationLeavesNothingBehind()
    {
        LedgerDriver t(QDate(2009, 2, 14), {{"1", "20090201", "午饭", 25.5}, {"2", "20090205", "工资", 5000}});
        t.showTab(2);
        t.click(t.page->statisticsButton);
        QCOMPARE(t.page->statistics->rowCount(), 1L);
        exec(QStringLiteral("ALTER TABLE t_account RENAME TO t_account_away"));
        t.click(t.page->statisticsButton);
        QCOMPARE(t.page->statistics->rowCount(), 0L);
        QVERIFY(drawn(t.page->monthChart).empty);
        QVERIFY(t.fakes.boxes->shown.isEmpty());
        exec(QStringLiteral("ALTER TABLE t_account_away RENAME TO t_account"));
        t.click(t.page->statisticsButton);
        QCOMPARE(t.page->statistics->rowCount(), 1L);
        compareWithDatabase(t.page->monthChart);
    }

    // The chart is a module: a program installed without it says so once, when the ledger opens,
    // and the statistics still show in the grid.
    void withoutTheChartModuleTheGridStillCounts()
    {
        const QString modules = platform::moduleFolder();
        platform::setModuleFolder(QStringLiteral("/nonexistent"));
        LedgerDriver t(QDate(2009, 2, 14), {{"1", "20090201", "午饭", 25.5}, {"2", "20090205", "工资", 5000}});
        t.page->fill();
        platform::setModuleFolder(modules);
        QVERIFY(!t.page->monthChart);
        QCOMPARE(t.boxCount(), 1);
        QCOMPARE(t.lastBox().title, QStringLiteral("程序文件错误"));
        QVERIFY2(t.lastBox().text.contains(QStringLiteral("“charts”")), qPrintable(t.lastBox().text));
        t.showTab(2);
        t.click(t.page->statisticsButton);
        QCOMPARE(t.page->statistics->rowCount(), 1L);
        QCOMPARE(t.boxCount(), 1);
    }
};

MIVO_TEST_MAIN(tst_ledgerpage_statistics)
#include "tst_ledgerpage_statistics.moc"
