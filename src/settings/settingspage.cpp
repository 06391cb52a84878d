#include "settings/settingspage.h"

#include "pagekit/helpers.h"
#include "platform/services.h"
#include "settings/backuptab.h"
#include "settings/exporttab.h"
#include "settings/generaltab.h"
#include "settings/grouptables.h"
#include "settings/printeratstart.h"
#include "settings/printertab.h"
#include "settings/synctab.h"
#include "settings/tabshape.h"
#include "views/font.h"
#include "sync/syncservice.h"
#include "widgets/unitgeometry.h"

#include <QPushButton>

SettingsPage::SettingsPage(Connection &db, QWidget *parent)
    : Page(db, parent)
{
    // The options are read at start, also when the page is filled later: the General tab shows
    // what the program started with.
    m_options = GeneralOptions::load();
    // The printer is read at start as well, whenever the page is first shown: the tab shows the
    // printer the program started with. The read runs beside the first frame, which does not show it.
    m_printerAtStart = std::make_unique<settings::PrinterAtStart>(*platform::services().printers);
    m_sync = std::make_unique<contactsync::SyncService>(db);
    created();
}

void SettingsPage::buildControls()
{
    setFont(views::songtiFont());

    optionTabs = new pagekit::TabPages(QStringLiteral("tab_2"), QStringLiteral("配置"), this);
    generalTab = new settings::GeneralTab(m_options);
    exportTab = new settings::ExportTab(db());
    backupTab = new settings::BackupTab(db());
    printerTab = new settings::PrinterTab(*m_printerAtStart);
    syncTab = new settings::SyncTab(*m_sync);
    optionTabs->addPage(generalTab, QStringLiteral("tp_a"), QStringLiteral("常规"), QStringLiteral("i017.ico"));
    optionTabs->addPage(exportTab, QStringLiteral("tp_b"), QStringLiteral("导出"), QStringLiteral("i019.ico"));
    optionTabs->addPage(backupTab, QStringLiteral("tp_c"), QStringLiteral("备份"), QStringLiteral("i018.ico"));
    optionTabs->addPage(printerTab, QStringLiteral("tp_d"), QStringLiteral("打印机"), QStringLiteral("i020.ico"));
    optionTabs->addPage(syncTab, QStringLiteral("tp_e"), QStringLiteral("同步"), QStringLiteral("i021.ico"));
    applyExportTabHidden();

    groupTables = new settings::GroupTables(db(), this);
    connect(groupTables, &settings::GroupTables::saved, this, [this] { groupsChanged = true; });

    closeButton = pagekit::makeButton(QStringLiteral("关闭(&C)"), QStringLiteral("cb_4"), this);
    addButton = pagekit::makeButton(QStringLiteral("添加(&A)"), QStringLiteral("cb_1"), this);
    deleteButton = pagekit::makeButton(QStringLiteral("删除(&D)"), QStringLiteral("cb_2"), this);
    saveButton = pagekit::makeButton(QStringLiteral("保存(&S)"), QStringLiteral("cb_3"), this);
    connect(addButton, &QPushButton::clicked, this, &SettingsPage::addGroup);
    connect(deleteButton, &QPushButton::clicked, this, &SettingsPage::deleteGroup);
    connect(saveButton, &QPushButton::clicked, this, &SettingsPage::saveGroups);
    connect(closeButton, &QPushButton::clicked, this, &SettingsPage::closePage);
}

SettingsPage::~SettingsPage() = default;

void SettingsPage::hideExportTab()
{
    m_exportTabHidden = true;
    // A page created light has no tabs yet: buildControls applies the flag when it has.
    if (optionTabs)
        applyExportTabHidden();
}

void SettingsPage::applyExportTabHidden()
{
    if (m_exportTabHidden)
        optionTabs->setTabVisible(optionTabs->indexOf(exportTab), false);
}

void SettingsPage::placeControls(int w, int h)
{
    using namespace settings;
    // The options above, the group tables below; both leave a strip on the right for the buttons.
    const QRect optionsArea(0, 0, w - 500, int(h * 0.4));
    setUnitGeometry(optionTabs, optionsArea);
    const QSize page = optionTabs->pageSize(optionsArea.size());
    generalTab->placeControls(page.width(), page.height());
    exportTab->placeControls(page.width(), page.height());
    backupTab->placeControls(page.width(), page.height());
    printerTab->placeControls(page.width(), page.height());
    syncTab->placeControls(page.width(), page.height());

    // The group tables end above the strip along the bottom, which belongs to the main window's
    // moving banner.
    const QRect groupsArea(optionsArea.x(), optionsArea.y() + optionsArea.height() + 20, w - 500,
                           h - (optionsArea.height() + 20) - BannerStrip);
    setUnitGeometry(groupTables, groupsArea);
    groupTables->placeControls(groupsArea.width(), groupsArea.height());

    const int x = optionsArea.x() + optionsArea.width() + 50;
    const int bw = tabshape::ButtonWidth, bh = tabshape::ButtonHeight;
    setUnitGeometry(closeButton, QRect(x, optionsArea.y() + 100, bw, bh));
    setUnitGeometry(addButton, QRect(x, groupsArea.y() + 100, bw, bh));
    setUnitGeometry(deleteButton, QRect(x, groupsArea.y() + 220, bw, bh));
    setUnitGeometry(saveButton, QRect(x, groupsArea.y() + 340, bw, bh));
}

void SettingsPage::atProgramEnd()
{
    m_sync->atExit();
    settings::BackupTab::backUpAtExit(db());
}

void SettingsPage::addGroup()
{
    groupTables->add();
}

void SettingsPage::deleteGroup()
{
    groupTables->deleteCurrent();
}

void SettingsPage::saveGroups()
{
    groupTables->save();
}

void SettingsPage::closePage()
{
    if (groupsChanged
        && platform::messageBox(QStringLiteral("021"), QStringLiteral("必须重新启动程序才能使改动生效,现在重新启动程序吗?"),
                                platform::Icon::Question, platform::Buttons::YesNo, 1)
               == platform::Answer::Yes) {
        // Started afresh from the beginning, with the command line this run had. When the new copy
        // cannot start, this one goes on and the page closes as usual.
        if (platform::services().restarter->restart(platform::startArguments()))
            return;
    }
    setVisible(false);
}
