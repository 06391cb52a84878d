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

// A click on an object of a view: a header or other text ("xingm0_t", "t_total"), a cell.
void clickObject(views::DataView *dw, const QString &objectName, long row = 0);
void doubleClickCell(views::DataView *dw, const QString &column, long row);
// Replaces what a card field holds by typing, key by key.
void type(views::DataView *dw, const QString &column, const QString &text);
// Key by key as a keyboard (or an input method) delivers them, Chinese and emoji included.
void typeText(QWidget *widget, const QString &text);
// Chooses the entry of a drop-down list whose data (or, without data, text) is `value`, by keyboard.
void choose(QComboBox *combo, const QString &value);
void choose(views::DataView *dw, const QString &column, const QString &value);
// A mouse click: the focus moves there first, as it does for a user.
void click(QWidget *widget);

// The column's values, row by row, as stored.
QStringList column(const views::DataView *dw, const QString &name);

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

// A page of type P on a fresh database in a temporary folder, every seam faked, shown and active.
// `prepare` runs on the database before the page is made (its creation reads the group tables).
template <class P>
class PageOnDisk
{
public:
    template <class Prepare>
    explicit PageOnDisk(Prepare prepare)
    {
        prepare();
        open();
    }
    PageOnDisk() { open(); }
    ~PageOnDisk() { page.reset(); }

    fake::Platform fakes;
    AppFolder folder;
    std::unique_ptr<P> page;

    QStringList boxTitles() const { return fakes.boxes->titles(); }

private:
    void open();
};

// Shows and activates a page window (out of line: it needs QtTest).
void showPage(QWidget *page);

template <class P>
void PageOnDisk<P>::open()
{
    page = std::make_unique<P>(folder.db());
    showPage(page.get());
}

// Runs a statement on the test database; the test fails at once when it does not work.
void exec(const QString &sql, const QVariantList &values = {});
