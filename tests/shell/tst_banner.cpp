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

    static int x(const OpenedWindow &t) { return unitGeometry(t.w.banner).x(); }

private slots:
    void startsWithTheVersionLineAndMovesEveryTenthOfASecond()
    {
        OpenedWindow t;
        t.open();
        QCOMPARE(t.w.bannerTexts.first(), QStringLiteral("Mivo V2.2 build 20090214"));
        QVERIFY(t.w.bannerTexts.size() >= 3);
        for (const QString &tip : t.w.bannerTexts.mid(1))
            QVERIFY2(tip.startsWith(QStringLiteral("提示：")), qPrintable(tip));
        QCOMPARE(t.w.banner->text(), t.w.bannerTexts.first());
        // 24 bytes, 40 units each.
        QCOMPARE(unitGeometry(t.w.banner).width(), 960);
        QCOMPARE(x(t), unitGeometry(t.w.contentArea).x() + 50);
        QVERIFY(t.w.bannerTimer()->isActive());
        QCOMPARE(t.w.bannerTimer()->interval(), 100);
        QVERIFY(!t.w.bannerMovesLeft());
        const int start = x(t);
        QTRY_VERIFY(x(t) > start);
        QCOMPARE((x(t) - start) % 10, 0);
    }

    void bouncesFiftyUnitsInsideTheContentArea()
    {
        OpenedWindow t;
        t.open();
        t.w.bannerTimer()->stop();
        const QRect area = unitGeometry(t.w.contentArea);
        const int width = unitGeometry(t.w.banner).width();
        const int left = area.x() + 50;
        const int rightLimit = area.x() + area.width() - width - 50;
        QCOMPARE(x(t), left);

        // Rightwards 10 units a tick until the banner is no more than 50 units from the right edge.
        const int ticksRight = (rightLimit - left + 9) / 10;
        for (int i = 1; i < ticksRight; ++i) {
            t.w.moveBanner();
            QCOMPARE(x(t), left + 10 * i);
            QVERIFY(!t.w.bannerMovesLeft());
        }
        t.w.moveBanner();
        const int turn = left + 10 * ticksRight;
        QCOMPARE(x(t), turn);
        QVERIFY(turn >= rightLimit && turn < rightLimit + 10);
        QVERIFY(t.w.bannerMovesLeft());
        QCOMPARE(t.w.banner->text(), t.w.bannerTexts.at(0));

        // Back leftwards; the text changes on arriving at the left.
        const int ticksLeft = (turn - left + 9) / 10;
        for (int i = 1; i < ticksLeft; ++i) {
            t.w.moveBanner();
            QCOMPARE(x(t), turn - 10 * i);
            QVERIFY(t.w.bannerMovesLeft());
            QCOMPARE(t.w.banner->text(), t.w.bannerTexts.at(0));
        }
        t.w.moveBanner();
        QVERIFY(x(t) <= left);
        QVERIFY(!t.w.bannerMovesLeft());
        QCOMPARE(t.w.banner->text(), t.w.bannerTexts.at(1));
        QCOMPARE(unitGeometry(t.w.banner).width(), 40 * int(gbkLength(t.w.bannerTexts.at(1))));
        t.w.moveBanner();
        QVERIFY(!t.w.bannerMovesLeft());
        QCOMPARE(x(t), turn - 10 * ticksLeft + 10);
    }

    void textCycleAndWidthInBytes()
    {
        OpenedWindow t;
        t.open();
        t.w.bannerTimer()->stop();
        t.w.bannerTexts = {QStringLiteral("Mivo V2.2 build 20090214"), QStringLiteral("中文ab"), QStringLiteral("提示：全角")};
        const QList<int> widths = {24 * 40, 6 * 40, 10 * 40};
        t.w.banner->setText(t.w.bannerTexts.at(0));
        for (int round = 0; round < 2; ++round)
            for (int i = 1; i <= 3; ++i) {
                t.w.nextBannerText();
                QCOMPARE(t.w.banner->text(), t.w.bannerTexts.at(i % 3));
                QCOMPARE(unitGeometry(t.w.banner).width(), widths.at(i % 3));
                QCOMPARE(t.w.banner->accessibleName(), t.w.banner->text());
            }
        // Any other text is followed by the first.
        t.w.banner->setText(QStringLiteral("别的"));
        t.w.nextBannerText();
        QCOMPARE(t.w.banner->text(), t.w.bannerTexts.at(0));
        // A single text stays.
        t.w.bannerTexts = {QStringLiteral("唯一")};
        t.w.nextBannerText();
        t.w.nextBannerText();
        QCOMPARE(t.w.banner->text(), QStringLiteral("唯一"));
        QCOMPARE(unitGeometry(t.w.banner).width(), 160);
        // The pixels follow the units.
        QCOMPARE(t.w.banner->width(), units::toPixelsX(160));
    }

    void clickChangesTheText()
    {
        OpenedWindow t;
        t.open();
        t.w.bannerTimer()->stop();
        const QPoint inside(t.w.banner->width() / 2, t.w.banner->height() / 2);
        QTest::mouseClick(t.w.banner, Qt::LeftButton, Qt::NoModifier, inside);
        QCOMPARE(t.w.banner->text(), t.w.bannerTexts.at(1));
        QTest::mouseClick(t.w.banner, Qt::LeftButton, Qt::NoModifier, inside);
        QCOMPARE(t.w.banner->text(), t.w.bannerTexts.at(2));
        QTest::mouseClick(t.w.banner, Qt::RightButton, Qt::NoModifier, inside);
        QCOMPARE(t.w.banner->text(), t.w.bannerTexts.at(2));
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
        // Moving left: it has turned at the right and is on its way back.
        if (leftwards)
            while (!t.w.bannerMovesLeft())
                t.w.moveBanner();
        for (int i = 0; i < 30; ++i)
            t.w.moveBanner();
        QCOMPARE(t.w.bannerMovesLeft(), leftwards);
        QVERIFY(x(t) > unitGeometry(t.w.contentArea).x() + 50);
        t.w.resize(t.w.width() + 120, t.w.height() + 40);
        QTRY_COMPARE(x(t), unitGeometry(t.w.contentArea).x() + 50);
        QCOMPARE(t.w.bannerMovesLeft(), leftwards);
        const QRect area = unitGeometry(t.w.contentArea);
        QCOMPARE(unitGeometry(t.w.banner).bottom(), area.y() + area.height() - 20 - 1);
    }
};

MIVO_TEST_MAIN(tst_banner)
#include "tst_banner.moc"
