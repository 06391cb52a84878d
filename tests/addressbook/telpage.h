#pragma once
// The address-book page on a fresh database, shown and active, with every seam faked, and the
// moves a user makes on it.

#include "addressbook/u_telpro.h"
#include "fakes.h"
#include "fixture.h"

#include <memory>

struct Contact
{
    QString group;
    QString name;
    QString mobile;
};

void typeText(QWidget *widget, const QString &text);

class TelPage
{
public:
    // Adds the groups (code, name) and the contacts to the database before the page is built.
    explicit TelPage(const QList<Contact> &contacts = {}, const QList<QPair<QString, QString>> &groups = {});
    ~TelPage();

    fake::Platform fakes;
    AppFolder folder;
    std::unique_ptr<u_telpro> page;

    long root() const;
    long group(const QString &code) const;             // level-2 item of a group code
    long contact(const QString &code, const QString &name); // expands the group first
    QStringList children(long handle) const;           // labels
    void select(long handle);                          // as a click on the item
    long current() const;

    void clickHeader(const QString &objectName);       // a click on a text object of the list
    void doubleClickCell(const QString &column, long row);
    void type(const QString &column, const QString &text); // into a card field, replacing it
    void chooseGroup(const QString &code);             // in the card's 组别 drop-down
    void click(QWidget *button);                       // focus moves there first, as with a mouse

    QStringList boxTitles() const { return fakes.boxes->titles(); }
    const platform::MessageBoxRequest &lastBox() const { return fakes.boxes->shown.last(); }
    int contactCount(const QString &where = QStringLiteral("1=1")) const;
    QString field(const QString &name, const QString &column) const; // as stored
};
