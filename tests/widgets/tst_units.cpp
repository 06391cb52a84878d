#include "testmain.h"
#include "widgets/units.h"

class tst_units : public QObject
{
    Q_OBJECT

private slots:
    void conversionAt96AndHigherDpi()
    {
        // The initial window of 3625 x 2208 units is about 793 x 552 pixels at 96 dpi.
        QCOMPARE(units::toPixels(QSize(3625, 2208)), QSize(793, 552));
        QCOMPARE(units::toPixelsX(3625, 192), 1586);
        QCOMPARE(units::toPixelsY(2208, 144), 828);
        // Back again within a unit's rounding.
        QVERIFY(qAbs(units::toUnitsX(units::toPixelsX(2000)) - 2000) <= 3);
        QCOMPARE(units::toUnitsY(units::toPixelsY(120)), 120);
        QCOMPARE(units::toPixels(QRect(50, 40, 100, 80)), QRect(11, 10, 22, 20));
    }
};

MIVO_TEST_MAIN(tst_units)
#include "tst_units.moc"
