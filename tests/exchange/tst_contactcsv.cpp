#include "testmain.h"
class TestContactCsv : public QObject
{
    Q_OBJECT
};
MIVO_TEST_MAIN(TestContactCsv)
#include "tst_contactcsv.moc"
