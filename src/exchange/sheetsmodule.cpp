// The module "sheets": the Excel 97-2003 and Office Open XML writers with their libraries.

#include "exchange/sheetwriters_p.h"

#include <QtPlugin>

namespace exchange::detail {

class SheetsModule : public QObject, public SheetWriters
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.mivo.SheetWriters/1")
    Q_INTERFACES(exchange::detail::SheetWriters)

public:
    bool writeXls(const QString &file, const QList<QVariantList> &rows, const QString &sheetName,
                  QString *reason) override
    {
        return detail::writeXls(file, rows, sheetName, reason);
    }
    bool writeXlsx(const QString &file, const QList<QVariantList> &rows, const QString &sheetName,
                   QString *reason) override
    {
        return detail::writeXlsx(file, rows, sheetName, reason);
    }
};

} // namespace exchange::detail

#include "sheetsmodule.moc"
