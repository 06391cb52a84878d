#pragma once
// The settings page. Its upper tab control holds the start-up and lock options, the export of a
// module's records, the database backup and the printer; its lower one the three group tables,
// with the buttons at the right that act on them. It loads the start-up and lock options once, when
// it is created, and shows what it read.

#include "app/generaloptions.h"

#include "pagekit/page.h"
#include "pagekit/tabpages.h"

#include <memory>

class QPushButton;

namespace settings {
class BackupTab;
class ExportTab;
class GeneralTab;
class GroupTables;
class PrinterAtStart;
class PrinterTab;
class SyncTab;
}
namespace contactsync {
class SyncService;
}

class SettingsPage : public pagekit::Page
{
    Q_OBJECT
public:
    explicit SettingsPage(Connection &db, QWidget *parent = nullptr);
    ~SettingsPage() override;

    // The sync at exit, when it is ticked, then the automatic backup, when it is ticked: the backup
    // keeps what the sync brought.
    void atProgramEnd() override;

    // The address book's sync, made with the page (light or not): the timer and the syncs at start
    // and at exit run whether or not the page was ever shown.
    contactsync::SyncService &syncService() const { return *m_sync; }

    const GeneralOptions &loadedOptions() const { return m_options; }
    // The printer read at start, on a worker: the printer tab shows it once it arrives.
    settings::PrinterAtStart &printerAtStart() const { return *m_printerAtStart; }

    // The export tab is not offered: hidden now, or as soon as the page is filled.
    void hideExportTab();

    // Add, delete and save act on the group table selected in groupTables.
    void addGroup();
    void deleteGroup();
    void saveGroups();
    // Hides the page; after a group table changed, offers to restart the program first.
    void closePage();

    // The controls: null until the page is filled.
    pagekit::TabPages *optionTabs = nullptr;
    settings::GeneralTab *generalTab = nullptr;
    settings::ExportTab *exportTab = nullptr;
    settings::BackupTab *backupTab = nullptr;
    settings::PrinterTab *printerTab = nullptr;
    settings::SyncTab *syncTab = nullptr;
    settings::GroupTables *groupTables = nullptr;
    QPushButton *addButton = nullptr;
    QPushButton *deleteButton = nullptr;
    QPushButton *saveButton = nullptr;
    QPushButton *closeButton = nullptr;

    // Set once a group table was saved in this run: the other pages see it only after a restart.
    bool groupsChanged = false;

protected:
    void buildControls() override;
    void placeControls(int w, int h) override;

private:
    void applyExportTabHidden();

    GeneralOptions m_options;
    std::unique_ptr<settings::PrinterAtStart> m_printerAtStart;
    bool m_exportTabHidden = false;
    std::unique_ptr<contactsync::SyncService> m_sync;
};
