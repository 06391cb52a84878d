#include "app/textcodec.h"
#include "widgets/unitgeometry.h"
#include "shellfixture.h"
#include "testmain.h"
#include "widgets/units.h"

#include <QLabel>
#include <QTimer>

class tst_banner : public QObject
{
    Q_OBJECT

    static int x(const OpenedWindow &t) { return unitGeometry(t.w.st_version).x(); }

private slots:
    void startsWithTheVersionLineAndMovesEveryTenthOfASecond()
    {
        OpenedWindow t;
        t.open();
        QCOMPARE(t.w.is_ad.first(), QStringLiteral("Mivo V2.2 build 20090214"));
        QVERIFY(t.w.is_ad.size() >= 3);
        for (const QString &tip : t.w.is_ad.mid(1))
            QVERIFY2(tip.startsWith(QStringLiteral("提示：")), qPrintable(tip));
        QCOMPARE(t.w.st_version->text(), t.w.is_ad.first());
        // 24 bytes, 40 units each.
        QCOMPARE(unitGeometry(t.w.st_version).width(), 960);
        QCOMPARE(x(t), unitGeometry(t.w.st_1).x() + 50);
        QVERIFY(t.w.bannerTimer()->isActive());
        QCOMPARE(t.w.bannerTimer()->interval(), 100);
        QVERIFY(!t.w.ib_left);
        const int start = x(t);
        QTRY_VERIFY(x(t) > start);
        QCOMPARE((x(t) - start) % 10, 0);
    }

    void bouncesFiftyUnitsInsideTheContentArea()
    {
        OpenedWindow t;
        t.open();
        t.w.bannerTimer()->stop();
        const QRect area = unitGeometry(t.w.st_1);
        const int width = unitGeometry(t.w.st_version).width();
        const int left = area.x() + 50;
        const int rightLimit = area.x() + area.width() - width - 50;
        QCOMPARE(x(t), left);

        // Rightwards 10 units a tick until the banner is no more than 50 units from the right edge.
        const int ticksRight = (rightLimit - left + 9) / 10;
        for (int i = 1; i < ticksRight; ++i) {
            t.w.timer();
            QCOMPARE(x(t), left + 10 * i);
            QVERIFY(!t.w.ib_left);
        }
        t.w.timer();
        const int turn = left + 10 * ticksRight;
        QCOMPARE(x(t), turn);
        QVERIFY(turn >= rightLimit && turn < rightLimit + 10);
        QVERIFY(t.w.ib_left);
        QCOMPARE(t.w.st_version->text(), t.w.is_ad.at(0));

        // Back leftwards; the text changes on arriving at the left.
        const int ticksLeft = (turn - left + 9) / 10;
        for (int i = 1; i < ticksLeft; ++i) {
            t.w.timer();
            QCOMPARE(x(t), turn - 10 * i);
            QVERIFY(t.w.ib_left);
            QCOMPARE(t.w.st_version->text(), t.w.is_ad.at(0));
        }
        t.w.timer();
        QVERIFY(x(t) <= left);
        QVERIFY(!t.w.ib_left);
        QCOMPARE(t.w.st_version->text(), t.w.is_ad.at(1));
        QCOMPARE(unitGeometry(t.w.st_version).width(), 40 * int(gbkLength(t.w.is_ad.at(1))));
        t.w.timer();
        QVERIFY(!t.w.ib_left);
        QCOMPARE(x(t), turn - 10 * ticksLeft + 10);
    }

    void textCycleAndWidthInBytes()
    {
        OpenedWindow t;
        t.open();
        t.w.bannerTimer()->stop();
        t.w.is_ad = {QStringLiteral("Mivo V2.2 build 20090214"), QStringLiteral("中文ab"), QStringLiteral("提示：全角")};
        const QList<int> widths = {24 * 40, 6 * 40, 10 * 40};
        t.w.st_version->setText(t.w.is_ad.at(0));
        for (int round = 0; round < 2; ++round)
            for (int i = 1; i <= 3; ++i) {
                t.w.of_change_ad();
                QCOMPARE(t.w.st_version->text(), t.w.is_ad.at(i % 3));
                QCOMPARE(unitGeometry(t.w.st_version).width(), widths.at(i % 3));
                QCOMPARE(t.w.st_version->accessibleName(), t.w.st_version->text());
            }
        // Any other text is followed by the first.
        t.w.st_version->setText(QStringLiteral("别的"));
        t.w.of_change_ad();
        QCOMPARE(t.w.st_version->text(), t.w.is_ad.at(0));
        // A single text stays.
        t.w.is_ad = {QStringLiteral("唯一")};
        t.w.of_change_ad();
        t.w.of_change_ad();
        QCOMPARE(t.w.st_version->text(), QStringLiteral("唯一"));
        QCOMPARE(unitGeometry(t.w.st_version).width(), 160);
        // The pixels follow the units.
        QCOMPARE(t.w.st_version->width(), units::toPixelsX(160));
    }

    void clickChangesTheText()
    {
        OpenedWindow t;
        t.open();
        t.w.bannerTimer()->stop();
        const QPoint inside(t.w.st_version->width() / 2, t.w.st_version->height() / 2);
        QTest::mouseClick(t.w.st_version, Qt::LeftButton, Qt::NoModifier, inside);
        QCOMPARE(t.w.st_version->text(), t.w.is_ad.at(1));
        QTest::mouseClick(t.w.st_version, Qt::LeftButton, Qt::NoModifier, inside);
        QCOMPARE(t.w.st_version->text(), t.w.is_ad.at(2));
        QTest::mouseClick(t.w.st_version, Qt::RightButton, Qt::NoModifier, inside);
        QCOMPARE(t.w.st_version->text(), t.w.is_ad.at(2));
    }

    void restartsFromTheLeftAfterAResizeKeepingItsDirection_data()
    {
        QTest::addColumn<bool>("leftwards");
        QTest::newRow("moving right") << false;
        QTest::newRow("moving left") << true;
    }
    void restartsFromTheLeftAfterAResizeKeepingItsDirection()
    {
        QFETCH(bool, leftwards);
        OpenedWindow t;
        t.open();
        QVERIFY(QTest::qWaitForWindowExposed(&t.w));
        t.w.bannerTimer()->stop();
        for (int i = 0; i < 30; ++i)
            t.w.timer();
        t.w.ib_left = leftwards;
        QVERIFY(x(t) > unitGeometry(t.w.st_1).x() + 50);
        t.w.resize(t.w.width() + 120, t.w.height() + 40);
        QTRY_COMPARE(x(t), unitGeometry(t.w.st_1).x() + 50);
        QCOMPARE(t.w.ib_left, leftwards);
        const QRect area = unitGeometry(t.w.st_1);
        QCOMPARE(unitGeometry(t.w.st_version).bottom(), area.y() + area.height() - 20 - 1);
    }
};

MIVO_TEST_MAIN(tst_banner)
#include "tst_banner.moc"
