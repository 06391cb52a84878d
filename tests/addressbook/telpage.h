#pragma once
// The address-book page on a fresh database, shown and active, with every seam faked, and the
// moves a user makes on it (through the page driver every page's tests share).

#include "addressbook/addressbookpage.h"
#include "pagedriver.h"

struct Contact
{
    QString group;
    QString name;
    QString mobile;
};

using drive::typeText;

class TelPage : public PageDriver<AddressBookPage>
{
public:
    // Adds the groups (code, name) and the contacts to the database before the page is built.
    explicit TelPage(const QList<Contact> &contacts = {}, const QList<QPair<QString, QString>> &groups = {});

    long root() const { return drive::root(page->groupTree); }
    long group(const QString &code) const { return drive::group(page->groupTree, code); }
    long contact(const QString &code, const QString &name) { return drive::member(page->groupTree, code, name); }
    QStringList children(long handle) const { return drive::children(page->groupTree, handle); }
    void select(long handle) { drive::select(page->groupTree, handle); }
    long current() const { return drive::current(page->groupTree); }

    void clickHeader(const QString &objectName) { drive::clickObject(page->recordView, objectName); }
    void doubleClickCell(const QString &column, long row) { drive::doubleClickCell(page->recordView, column, row); }
    void type(const QString &column, const QString &text) { drive::type(page->recordView, column, text); }
    void chooseGroup(const QString &code) { drive::choose(page->recordView, QStringLiteral("zuhao0"), code); }
    void click(QWidget *button) { drive::click(button); }

    const platform::MessageBoxRequest &lastBox() const { return fakes.boxes->shown.last(); }
    int contactCount(const QString &where = QStringLiteral("1=1")) const;
    QString field(const QString &name, const QString &column) const; // as stored
};
