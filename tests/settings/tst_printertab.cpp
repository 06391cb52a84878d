// The settings page's Printer tab against a real print server with the PDF printer: the name of
// the current printer, the set-up ("028" without a printer) and the choice of another printer.

#include "settingsdriver.h"
#include "cupsserver.h"
#include "platform/qtservices.h"
#include "settings/printeratstart.h"
#include "settings/printertab.h"
#include "testmain.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSemaphore>
#include <QTimer>

namespace {

// The page on the real printers of the test's server.
struct PrinterPage : SettingsDriver
{
    PrinterPage()
        : SettingsDriver(QByteArray(), [] {
            platform::services().printers = std::make_unique<platform::QtPrinters>();
        })
    {
    }
    settings::PrinterTab *tab() const { return page->printerTab; }
};

// Runs `act` on the next dialog that opens, while it is open.
void onNextDialog(std::function<void(QDialog *)> act)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(dialog);
        }
    });
    poll->start(20);
}

} // namespace

class tst_printertab : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_cups = std::make_unique<CupsServer>(); }
    void cleanupTestCase() { m_cups.reset(); }

    // Without a printer the field stays empty and the set-up says "028".
    void noPrinterSays028()
    {
        // Asked before the page's own read starts: the print system is not asked from two threads.
        QCOMPARE(platform::QtPrinters().description(), QString());
        PrinterPage t;
        t.page->printerAtStart().wait();
        QCOMPARE(t.tab()->printerName->text(), QString());
        drive::chooseTab(t.page->optionTabs, 3);
        drive::click(t.tab()->setupButton);
        EXPECT_BOX(*t.fakes.boxes, QStringLiteral("028"), QStringLiteral("无打印机可设定!"));
    }

    // The server's default printer is shown by name; its set-up opens; choosing another printer
    // shows that one from then on.
    void theCurrentPrinterAndTheChoice()
    {
        QString error;
        QVERIFY2(m_cups->addPdfPrinter(QStringLiteral("PDF"), true, &error), qPrintable(error));
        QVERIFY2(m_cups->addPdfPrinter(QStringLiteral("PDF2"), false, &error), qPrintable(error));
        const QString description = platform::QtPrinters().description();
        QVERIFY2(description.startsWith(QStringLiteral("PDF\t")) && description.count(QLatin1Char('\t')) == 2,
                 qPrintable(description));

        PrinterPage t;
        drive::chooseTab(t.page->optionTabs, 3);
        QTRY_COMPARE(t.tab()->printerName->text(), QStringLiteral("PDF"));

        bool setupOpened = false;
        onNextDialog([&setupOpened](QDialog *d) {
            setupOpened = true;
            d->reject();
        });
        drive::click(t.tab()->setupButton);
        QVERIFY(setupOpened);
        QVERIFY(t.fakes.boxes->shown.isEmpty());

        // The printer dialog lists the server's printers; the second is chosen.
        QStringList listed;
        onNextDialog([&listed](QDialog *d) {
            for (QComboBox *combo : d->findChildren<QComboBox *>()) {
                const int i = combo->findText(QStringLiteral("PDF2"));
                if (i < 0)
                    continue;
                for (int k = 0; k < combo->count(); ++k)
                    listed << combo->itemText(k);
                combo->setCurrentIndex(i);
            }
            d->accept();
        });
        drive::click(t.tab()->chooseButton);
        QVERIFY2(listed.contains(QStringLiteral("PDF")) && listed.contains(QStringLiteral("PDF2")), qPrintable(listed.join(',')));
        QCOMPARE(t.tab()->printerName->text(), QStringLiteral("PDF2"));

        // A printer that went away: the field keeps what it showed, the default is offered again.
        QVERIFY2(m_cups->removePrinter(QStringLiteral("PDF2"), &error), qPrintable(error));
        t.tab()->showCurrentPrinter();
        QCOMPARE(t.tab()->printerName->text(), QStringLiteral("PDF"));
    }

    // The printer is read beside the first frame: a tab shown before the print system answered is
    // empty and shows the printer as soon as it arrives; the read is not made again after that.
    void aTabShownBeforeThePrinterArrivesShowsItThen()
    {
        QSemaphore printServer; // answers once released
        SettingsDriver t(QByteArray(), [&printServer] {
            dynamic_cast<fake::Printers &>(*platform::services().printers).gate = &printServer;
        });
        drive::chooseTab(t.page->optionTabs, 3);
        settings::PrinterTab *tab = t.page->printerTab;
        QVERIFY(tab->isVisible());
        QTest::qWait(50);
        QVERIFY(!t.page->printerAtStart().isRead());
        QCOMPARE(tab->printerName->text(), QString());

        printServer.release();
        QTRY_COMPARE(tab->printerName->text(), QStringLiteral("Fake Printer"));
        t.fakes.printers->current = QStringLiteral("Later Printer\tDriver\tPORT:");
        QTest::qWait(50);
        QCOMPARE(tab->printerName->text(), QStringLiteral("Fake Printer"));
        // Set-up and choice ask the printers now.
        drive::click(tab->setupButton);
        QCOMPARE(t.fakes.printers->setups, 1);
        drive::click(tab->chooseButton);
        QCOMPARE(tab->printerName->text(), QStringLiteral("Later Printer"));
        QVERIFY(t.fakes.boxes->shown.isEmpty());
    }

private:
    std::unique_ptr<CupsServer> m_cups;
};

MIVO_TEST_MAIN(tst_printertab)
#include "tst_printertab.moc"
