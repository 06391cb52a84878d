#pragma once
// Drives a real page as a user does: clicks on tree items, headers and cells, typing key by key,
// choosing from drop-down lists by keyboard, and reading back the message boxes the page showed.
// Every page's tests start from here.

#include "fakes.h"
#include "fixture.h"

#include <QStringList>
#include <QWidget>
#include <memory>

class QComboBox;
class QTabWidget;

namespace views {
class DataView;
}
namespace widgets {
class HandleTree;
}

namespace drive {

// Tree items by what the user sees: the root, a group by its code, a member by its label.
long root(const widgets::HandleTree *tree);
long group(const widgets::HandleTree *tree, const QString &code);
long member(widgets::HandleTree *tree, const QString &code, const QString &label);  // expands the group first
QStringList children(const widgets::HandleTree *tree, long handle);                 // labels
long current(const widgets::HandleTree *tree);
QString currentLabel(const widgets::HandleTree *tree);
// A click on the item, which must be on the screen.
void select(widgets::HandleTree *tree, long handle);
// A right click on the item, as the window system delivers it: the button, then the menu event.
void rightClick(widgets::HandleTree *tree, long handle);

// A click on an object of a view: a header or other text ("xingm0_t", "t_total"), a cell.
void clickObject(views::DataView *dw, const QString &objectName, long row = 0);
void doubleClickCell(views::DataView *dw, const QString &column, long row);
// Replaces what a card field holds by typing, key by key.
void type(views::DataView *dw, const QString &column, const QString &text);
// Types `text` into a cell of a grid: a click opens the cell's editor, the text replaces the value;
// the editor stays open.
void typeCell(views::DataView *dw, const QString &column, long row, const QString &text);
// Key by key as a keyboard (or an input method) delivers them, Chinese and emoji included.
void typeText(QWidget *widget, const QString &text);
// Chooses the entry of a drop-down list whose data (or, without data, text) is `value`, by keyboard.
void choose(QComboBox *combo, const QString &value);
void choose(views::DataView *dw, const QString &column, const QString &value);
// A mouse click: the focus moves there first, as it does for a user.
void click(QWidget *widget);
// A click on the caption of tab `index`.
void chooseTab(QTabWidget *tabs, int index);

// The column's values, row by row, as stored.
QStringList column(const views::DataView *dw, const QString &name);
// What a card field shows.
QString shown(const views::DataView *dw, const QString &column);

} // namespace drive

// One message box as the page should have shown it.
struct ExpectedBox
{
    QString code;
    QString text;
    platform::Icon icon = platform::Icon::Information;
    platform::Buttons buttons = platform::Buttons::Ok;
    int defaultButton = 1;
};
// True when the last box shown is `expected` in every part; otherwise says what differs.
bool lastBoxIs(const fake::MessageBoxes &boxes, const ExpectedBox &expected, QString *difference);
#define EXPECT_BOX(boxes, ...)                                                                     \
    do {                                                                                           \
        QString difference_;                                                                       \
        QVERIFY2(lastBoxIs(boxes, ExpectedBox{__VA_ARGS__}, &difference_), qPrintable(difference_)); \
    } while (false)

template <class P>
concept HasGroupTree = requires(P *p) { p->groupTree; };
template <class P>
concept HasRecordView = requires(P *p) { p->recordView; };

// A page of type P on a fresh database in a temporary folder, every seam faked, shown and active.
// `prepare` runs on the database before the page is made (its creation reads the group tables).
// A page with a group tree or a record view is driven through them by what the user sees.
template <class P>
class PageDriver
{
public:
    template <class Prepare>
    explicit PageDriver(Prepare prepare)
    {
        prepare();
        open();
    }
    PageDriver() { open(); }
    ~PageDriver() { page.reset(); }

    fake::Platform fakes;
    AppFolder folder;
    std::unique_ptr<P> page;

    QStringList boxTitles() const { return fakes.boxes->titles(); }
    const platform::MessageBoxRequest &lastBox() const { return fakes.boxes->shown.last(); }
    int boxCount() const { return int(fakes.boxes->shown.size()); }
    void click(QWidget *widget) { drive::click(widget); }

    long root() const requires HasGroupTree<P> { return drive::root(page->groupTree); }
    long group(const QString &code) const requires HasGroupTree<P> { return drive::group(page->groupTree, code); }
    long member(const QString &code, const QString &label) requires HasGroupTree<P>
    {
        return drive::member(page->groupTree, code, label);
    }
    QStringList children(long handle) const requires HasGroupTree<P> { return drive::children(page->groupTree, handle); }
    void select(long handle) requires HasGroupTree<P> { drive::select(page->groupTree, handle); }
    long current() const requires HasGroupTree<P> { return drive::current(page->groupTree); }
    QString currentLabel() const requires HasGroupTree<P> { return drive::currentLabel(page->groupTree); }

    void clickObject(const QString &objectName, long row = 0) requires HasRecordView<P>
    {
        drive::clickObject(page->recordView, objectName, row);
    }
    void doubleClickCell(const QString &column, long row) requires HasRecordView<P>
    {
        drive::doubleClickCell(page->recordView, column, row);
    }
    void type(const QString &column, const QString &text) requires HasRecordView<P>
    {
        drive::type(page->recordView, column, text);
    }
    QStringList column(const QString &name) const requires HasRecordView<P> { return drive::column(page->recordView, name); }
    QString shown(const QString &column) const requires HasRecordView<P> { return drive::shown(page->recordView, column); }
    // Chooses the record's group on the card by its code.
    void chooseGroup(const QString &code) requires HasRecordView<P>
    {
        drive::choose(page->recordView, page->desc().groupColumn, code);
    }

private:
    void open();
};

// Shows and activates a page window (out of line: it needs QtTest).
void showPage(QWidget *page);

template <class P>
void PageDriver<P>::open()
{
    page = std::make_unique<P>(folder.db());
    showPage(page.get());
}

// Runs a statement on the test database; the test fails at once when it does not work.
void exec(const QString &sql, const QVariantList &values = {});
