// The module "printing": the program's printer through the toolkit's print support, which only this
// module links.

#include "platform/printmodule.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QtPlugin>

namespace platform {

namespace {

class PrintSupportPrinters : public Printers
{
public:
    explicit PrintSupportPrinters(RunDialog run)
        : m_run(std::move(run))
    {
    }
    QString description() const override;
    bool setup(QWidget *parent) override;
    bool choose(QWidget *parent) override;

private:
    // nullptr when there is no printer at all; a chosen printer that went away gives way to the
    // default again.
    QPrinter *current() const;
    RunDialog m_run;
    mutable std::unique_ptr<QPrinter> m_printer;
};

QPrinter *PrintSupportPrinters::current() const
{
    if (m_printer && QPrinterInfo::printerInfo(m_printer->printerName()).isNull())
        m_printer.reset();
    if (!m_printer) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            return nullptr;
        m_printer = std::make_unique<QPrinter>(info);
    }
    return m_printer.get();
}

QString PrintSupportPrinters::description() const
{
    QPrinter *printer = current();
    if (!printer)
        return {};
    const QPrinterInfo info = QPrinterInfo::printerInfo(printer->printerName());
    // Qt names no driver or port; the make-and-model and the location come closest.
    return info.printerName() + QLatin1Char('\t') + info.makeAndModel() + QLatin1Char('\t') + info.location();
}

bool PrintSupportPrinters::setup(QWidget *parent)
{
    QPrinter *printer = current();
    if (!printer)
        return false;
    QPageSetupDialog dialog(printer, parent);
    return m_run(dialog) == QDialog::Accepted;
}

bool PrintSupportPrinters::choose(QWidget *parent)
{
    // Without any printer the dialog still opens (it may offer printing to a file).
    QPrinter fallback;
    QPrinter *printer = current();
    QPrintDialog dialog(printer ? printer : &fallback, parent);
    if (m_run(dialog) != QDialog::Accepted)
        return false;
    const QString chosen = dialog.printer()->printerName();
    if (!chosen.isEmpty() && chosen != (printer ? printer->printerName() : QString()))
        m_printer = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(chosen));
    return true;
}

} // namespace

class PrintingModule : public QObject, public PrintersModule
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.mivo.Printers/1")
    Q_INTERFACES(platform::PrintersModule)

public:
    std::unique_ptr<Printers> printers(RunDialog run) override
    {
        return std::make_unique<PrintSupportPrinters>(std::move(run));
    }
};

} // namespace platform

#include "qtprinters.moc"
