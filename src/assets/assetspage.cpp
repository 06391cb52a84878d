#include "assets/assetspage.h"

#include "app/appinfo.h"
#include "platform/services.h"
#include "views/dataview.h"
#include "views/definition.h"
#include "views/format.h"

namespace {

const QString kWorth = QStringLiteral("worth");
const QString kNum = QStringLiteral("num");
const QString kBuyprice = QStringLiteral("buyprice");

// The page as data: its tree, its views, its boxes "C00" … "C11" and its export's "C12" … "C14".
pagekit::GroupTreePageSpec assetsSpec()
{
    auto picture = [](const char *name) { return appFile(QStringLiteral("resource/") + QLatin1String(name)); };
    return {
        .tree = {.rootLabel = QStringLiteral("个人资产"),
                 .pictures = {picture("i004.ico"), picture("i012.ico"), picture("i011.ico"), picture("i003.ico")},
                 .groupView = QStringLiteral("ds_ca_group"),
                 .groupCode = QStringLiteral("groupid"),
                 .groupName = QStringLiteral("groupname"),
                 .memberView = QStringLiteral("ds_ca_name"),
                 .memberLabel = QStringLiteral("name"),
                 .memberData = QStringLiteral("id"),
                 .memberDataIsNumber = true,
                 .deletedGroupPicture = true},
        .pageName = QStringLiteral("个人资产"),
        .treeName = QStringLiteral("资产分组"),
        .viewName = QStringLiteral("资产"),
        .listView = QStringLiteral("dw_ca_all"),
        .cardView = QStringLiteral("dw_ca_one"),
        .groupColumn = QStringLiteral("gid"),
        .nameColumn = QStringLiteral("name"),
        .boxPrefix = QStringLiteral("C"),
        .missingName = QStringLiteral("名称不能为空!"),
        // The item stays off the form: Save then has nothing to save.
        .rebuildAfterFailedDelete = false,
        .groupExport = {.definition = QStringLiteral("d_capital_all"),
                        .groupColumn = QStringLiteral("gid"),
                        .sheetName = QStringLiteral("ca_info"),
                        .boxes = {{QStringLiteral("C14"), QStringLiteral("没有可导出的资产!"), platform::Icon::Exclamation},
                                  {QStringLiteral("C13"), QStringLiteral("导出失败!"), platform::Icon::Stop},
                                  {QStringLiteral("C12"), QStringLiteral("导出成功!"), platform::Icon::Information}}},
    };
}

// Sets a number (or no value) only where it differs, so that a row is not marked as changed for nothing.
void setNumber(views::DataView *dw, long row, const QString &column, const QVariant &value)
{
    const QVariant now = dw->getItem(row, column);
    if (now.isNull() && value.isNull())
        return;
    if (!now.isNull() && !value.isNull() && now.toDouble() == value.toDouble())
        return;
    dw->setItem(row, column, value);
}

} // namespace

AssetsPage::AssetsPage(Connection &db, QWidget *parent)
    : GroupTreePage(db, assetsSpec(), parent)
{
    created();
}

void AssetsPage::buildControls()
{
    GroupTreePage::buildControls();
    // A total typed by hand is kept to the cent as well.
    connect(recordView->store(), &views::DataStore::itemChanged, this, &AssetsPage::roundTypedTotal);
}

double AssetsPage::roundedMoney(double value)
{
    // Through the text it is shown as: what is stored is exactly what the form and the list show.
    return QString::number(value, 'f', 2).toDouble();
}

void AssetsPage::initNewRow(long row)
{
    recordView->setItem(row, kNum, 1);
    recordView->setItem(row, QStringLiteral("buydate"), platform::services().clock->today().toString(QStringLiteral("yyyyMMdd")));
}

pagekit::Group AssetsPage::deleteTarget(long row)
{
    // The id the item was read with; a row never saved has none and deletes nothing stored.
    m_deleting = recordView->getItemOriginal(row, QStringLiteral("id"));
    return GroupTreePage::deleteTarget(row);
}

DbResult AssetsPage::deleteStored(const pagekit::Group &)
{
    if (m_deleting.isNull())
        return {};
    // An item deleted meanwhile (elsewhere) is gone as asked: finding no row is no failure.
    return db().execute(QStringLiteral("DELETE FROM ca_info WHERE id = ?"), {m_deleting});
}

void AssetsPage::cardEdited(long row, const QString &column, const QString &text)
{
    if (!showsCard() || row < 1)
        return;
    QString other;
    if (column.compare(kBuyprice, Qt::CaseInsensitive) == 0)
        other = kNum;
    else if (column.compare(kNum, Qt::CaseInsensitive) == 0)
        other = kBuyprice;
    else
        return;
    // The typed text counts as the engine would take it; text that is no number yet (a lone "-")
    // gives no total, as an empty factor does.
    QVariant typed;
    const views::Column *typedColumn = recordView->definition()->column(column);
    const bool ok = typedColumn && views::parseEditText(*typedColumn, text, &typed, nullptr);
    const QVariant factor = recordView->getItem(row, other);
    if (!ok || typed.isNull() || factor.isNull()) {
        setNumber(recordView, row, kWorth, QVariant());
        return;
    }
    setNumber(recordView, row, kWorth, roundedMoney(typed.toDouble() * factor.toDouble()));
}

void AssetsPage::roundTypedTotal(long row, int column)
{
    if (!showsCard() || row < 1 || column != recordView->definition()->columnIndex(kWorth))
        return;
    const QVariant worth = recordView->getItem(row, kWorth);
    if (!worth.isNull())
        setNumber(recordView, row, kWorth, roundedMoney(worth.toDouble()));
}
