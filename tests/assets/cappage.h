#pragma once
// The personal-assets page on a fresh database, shown and active, with every seam faked, and the
// moves a user makes on it (through the page driver every page's tests share).

#include "assets/assetspage.h"
#include "pagedriver.h"
#include "views/dataview.h"

#include <QVariant>

struct Item
{
    QString group;
    QString name;
    QVariant num;
    QVariant buyprice;
    QVariant worth;
    QString buydate;
};

class CapPage : public PageDriver<AssetsPage>
{
public:
    // Adds the groups (code, name) and the items to the database before the page is built.
    explicit CapPage(const QList<Item> &items = {}, const QList<QPair<QString, QString>> &groups = {});

    long root() const { return drive::root(page->groupTree); }
    long group(const QString &code) const { return drive::group(page->groupTree, code); }
    long item(const QString &code, const QString &name) { return drive::member(page->groupTree, code, name); }
    QStringList children(long handle) const { return drive::children(page->groupTree, handle); }
    void select(long handle) { drive::select(page->groupTree, handle); }
    long current() const { return drive::current(page->groupTree); }
    QString currentLabel() const { return drive::currentLabel(page->groupTree); }
    QStringList column(const QString &name) const { return drive::column(page->recordView, name); }

    void clickObject(const QString &objectName, long row = 0) { drive::clickObject(page->recordView, objectName, row); }
    void doubleClickCell(const QString &column, long row) { drive::doubleClickCell(page->recordView, column, row); }
    void type(const QString &column, const QString &text) { drive::type(page->recordView, column, text); }
    void chooseGroup(const QString &code) { drive::choose(page->recordView, QStringLiteral("gid"), code); }
    void click(QWidget *button) { drive::click(button); }
    // What a form field shows.
    QString shown(const QString &column) const { return page->recordView->displayText(column); }

    int itemCount(const QString &where = QStringLiteral("1=1")) const;
    // A column of the stored item of that name.
    QVariant stored(const QString &name, const QString &column) const;
};
