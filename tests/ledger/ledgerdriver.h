#pragma once
// The ledger page on a fresh database, with the clock fixed at a chosen day and, when given, a
// settings file, shown and active with every seam faked; and the moves a user makes on it.

#include "ledger/ledgerpage.h"
#include "pagedriver.h"

#include <QDate>
#include <QVariant>

struct Entry
{
    QString type;    // "1" expense, "2" income
    QString date;    // yyyymmdd, "" or a null QString for none
    QString name;
    QVariant money;
};

class LedgerDriver : public PageDriver<LedgerPage>
{
public:
    // `settings` is written as client.ini before the page is made; a null array writes none. Where
    // `listReads` is given, it counts the reads of the lists from then on.
    explicit LedgerDriver(const QDate &today = QDate(2009, 2, 14), const QList<Entry> &entries = {},
                          const QByteArray &settings = QByteArray(), int *listReads = nullptr);

    // A click on the tab's caption (0, 1, 2).
    void showTab(int index) { drive::chooseTab(page->tabs, index); }
    void click(QWidget *button) { drive::click(button); }
    void clickHeader(views::DataView *list, const QString &objectName) { drive::clickObject(list, objectName); }
    void choosePeriod(QComboBox *periods, const QString &text) { drive::choose(periods, text); }

    const platform::MessageBoxRequest &lastBox() const { return fakes.boxes->shown.last(); }
    int boxCount() const { return int(fakes.boxes->shown.size()); }
    QByteArray settingsFile() const { return folder.readFile(QStringLiteral("client.ini")); }
    bool hasSettingsFile() const;
    int entryCount(const QString &where = QStringLiteral("1=1")) const;
};

void addEntries(const QList<Entry> &entries);
