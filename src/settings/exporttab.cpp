#include "settings/exporttab.h"

#include "app/writepause.h"
#include "exchange/spreadsheet.h"
#include "pagekit/helpers.h"
#include "platform/services.h"
#include "settings/tabshape.h"
#include "views/datastore.h"
#include "widgets/unitgeometry.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace settings {

using exchange::SheetFormat;
using exchange::SheetTarget;
using exchange::sheetFilters;
using exchange::sheetTarget;

namespace {

struct Choice
{
    const char *name;
    const char *caption;
    const char *definition;
    const char *sheet;
};

const Choice kChoices[] = {
    {"rb_1", "通讯录", "d_telpro_all", "t_telinfo"},
    {"rb_2", "笔记本", "d_notepro_all", "p_info"},
    {"rb_3", "个人资产", "d_capital_all", "ca_info"},
    {"rb_4", "记帐", "d_account_all", "t_account"},
};

} // namespace

ExportTab::ExportTab(Connection &db, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
{
    frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("gb_b"));
    frame->setAccessibleName(QStringLiteral("导出"));
    choiceLabel = new QLabel(QStringLiteral("选择导出项目"), this);
    choiceLabel->setObjectName(QStringLiteral("st_b1"));
    choiceLabel->setAccessibleName(choiceLabel->text());
    for (int i = 0; i < int(std::size(kChoices)); ++i) {
        auto *button = new QRadioButton(QString::fromUtf8(kChoices[i].caption), this);
        button->setObjectName(QString::fromLatin1(kChoices[i].name));
        button->setAccessibleName(button->text());
        connect(button, &QRadioButton::clicked, this, [this, i] { choose(i); });
        m_choices << button;
    }
    addressBookChoice = m_choices.at(0);
    notebookChoice = m_choices.at(1);
    assetsChoice = m_choices.at(2);
    ledgerChoice = m_choices.at(3);
    addressBookChoice->setChecked(true);
    exportButton = pagekit::makeButton(QStringLiteral("导出(&E)"), QStringLiteral("cb_b1"), this);
    connect(exportButton, &QPushButton::clicked, this, &ExportTab::exportChosen);

    // The invisible view that reads what is exported.
    store = new views::DataStore(this);
    store->setObjectName(QStringLiteral("ds_1"));
    store->setDataObject(QString::fromLatin1(kChoices[0].definition));
    store->setConnection(m_db);
}

void ExportTab::choose(int index)
{
    store->setDataObject(QString::fromLatin1(kChoices[index].definition));
    store->setConnection(m_db);
}

void ExportTab::exportChosen()
{
    // Background writers (the search index's build) wait until the export is written.
    const app::WritePause pause;
    if (store->retrieve() < 1) {
        pagekit::showBox({QStringLiteral("023"), QStringLiteral("数据库中无相关记录!"), platform::Icon::Stop});
        return;
    }
    QString filter;
    const QString chosen = platform::services().fileDialogs->saveFile(
        {QStringLiteral("另存为"), QString(), sheetSuffix(SheetFormat::Xls), sheetFilters().join(QStringLiteral(";;")), QString()},
        &filter);
    if (chosen.isEmpty())
        return;
    const SheetTarget target = sheetTarget(chosen, filter);
    int index = 0;
    while (index < m_choices.size() - 1 && !m_choices.at(index)->isChecked())
        ++index;
    QString reason;
    if (!writeSheet(target.path, target.format, store->exportRows(true), &reason,
                    QString::fromLatin1(kChoices[index].sheet))) {
        // A file that could not be written is said so, with the reason; the dialog's cancel is not.
        pagekit::showBox({QStringLiteral("024A"), QStringLiteral("导出失败!"), platform::Icon::Stop},
                         QStringLiteral("\n") + reason);
        return;
    }
    pagekit::showBox({QStringLiteral("024"), QStringLiteral("备份成功!")});
}

void ExportTab::placeControls(int w, int h)
{
    const QRect area = tabshape::frame(w, h);
    setUnitGeometry(frame, area);
    setUnitGeometry(exportButton, tabshape::button(w));
    const int left = area.x() + 60, top = area.y() + 60;
    setUnitGeometry(choiceLabel, QRect(left, top, 700, 80));
    for (int i = 0; i < m_choices.size(); ++i)
        setUnitGeometry(m_choices.at(i), QRect(left + 80 + (i % 2) * 600, top + 120 + (i / 2) * 120, 380, 80));
}

} // namespace settings
