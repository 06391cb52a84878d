#include "pagedriver.h"

#include "views/dataview.h"
#include "widgets/handletree.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

using widgets::TreeItem;
using widgets::TreeNavigation;

namespace drive {

long root(const widgets::HandleTree *tree)
{
    return tree->findItem(TreeNavigation::Root);
}

long group(const widgets::HandleTree *tree, const QString &code)
{
    return tree->findChildByData(root(tree), code);
}

long member(widgets::HandleTree *tree, const QString &code, const QString &label)
{
    const long g = group(tree, code);
    tree->expandItem(g);
    return tree->findChildByLabel(g, label);
}

QStringList children(const widgets::HandleTree *tree, long handle)
{
    QStringList labels;
    for (long h = tree->findItem(TreeNavigation::Child, handle); h; h = tree->findItem(TreeNavigation::Next, h)) {
        TreeItem t;
        tree->getItem(h, t);
        labels << t.label;
    }
    return labels;
}

long current(const widgets::HandleTree *tree)
{
    return tree->findItem(TreeNavigation::Current);
}

QString currentLabel(const widgets::HandleTree *tree)
{
    TreeItem item;
    tree->getItem(current(tree), item);
    return item.label;
}

void select(widgets::HandleTree *tree, long handle)
{
    QCoreApplication::processEvents();
    const QRect r = tree->itemRect(handle);
    if (r.isEmpty())
        qFatal("tree item %ld is not shown", handle);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, r.center());
}

void rightClick(widgets::HandleTree *tree, long handle)
{
    QCoreApplication::processEvents();
    const QRect r = tree->itemRect(handle);
    if (r.isEmpty())
        qFatal("tree item %ld is not shown", handle);
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, r.center());
    QContextMenuEvent event(QContextMenuEvent::Mouse, r.center(), tree->viewport()->mapToGlobal(r.center()));
    QCoreApplication::sendEvent(tree->viewport(), &event);
}

namespace {

// The widget under an object of the view and the point in it.
QWidget *under(views::DataView *dw, const QString &objectName, long row, QPoint *at)
{
    QCoreApplication::processEvents();
    const QRect r = dw->objectRect(objectName, row);
    if (r.isEmpty())
        qFatal("no object %s (row %ld) in the view", qPrintable(objectName), row);
    QWidget *target = dw->childAt(r.center());
    *at = target ? target->mapFrom(dw, r.center()) : r.center();
    return target ? target : dw;
}

} // namespace

void clickObject(views::DataView *dw, const QString &objectName, long row)
{
    QPoint at;
    QWidget *w = under(dw, objectName, row, &at);
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
}

void doubleClickCell(views::DataView *dw, const QString &column, long row)
{
    QPoint at;
    QWidget *w = under(dw, column, row, &at);
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    QTest::mouseDClick(w, Qt::LeftButton, {}, at);
    // Pages act on a double-click once it has finished.
    QCoreApplication::processEvents();
}

void type(views::DataView *dw, const QString &column, const QString &text)
{
    QWidget *editor = dw->fieldEditor(column);
    if (!editor)
        qFatal("no editor for %s", qPrintable(column));
    editor->setFocus();
    if (auto *line = qobject_cast<QLineEdit *>(editor)) {
        line->selectAll();
        QTest::keyClick(line, Qt::Key_Delete);
        line->setCursorPosition(0);
    } else if (auto *plain = qobject_cast<QPlainTextEdit *>(editor)) {
        plain->selectAll();
        QTest::keyClick(plain, Qt::Key_Delete);
    } else if (auto *rich = qobject_cast<QTextEdit *>(editor)) {
        rich->selectAll();
        QTest::keyClick(rich, Qt::Key_Delete);
    } else if (auto *spin = qobject_cast<QAbstractSpinBox *>(editor)) {
        spin->selectAll();
        QTest::keyClick(spin, Qt::Key_Delete);
    }
    typeText(editor, text);
}

void typeCell(views::DataView *dw, const QString &column, long row, const QString &text)
{
    clickObject(dw, column, row);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    if (!editor || !dw->isAncestorOf(editor))
        qFatal("no editor opened in %s row %ld", qPrintable(column), row);
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    typeText(editor, text);
}

void typeText(QWidget *widget, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString ch = text.mid(i, n);
        i += n - 1;
        if (ch == QStringLiteral("\n"))
            QTest::keyClick(widget, Qt::Key_Return);
        else if (ch.size() == 1 && ch.at(0).unicode() < 0x7f && ch.at(0).isPrint())
            QTest::keyClick(widget, ch.at(0).toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, ch, Qt::NoModifier);
    }
}

void choose(QComboBox *combo, const QString &value)
{
    combo->setFocus();
    int i = combo->findData(value);
    if (i < 0)
        i = combo->findText(value);
    if (i < 0)
        qFatal("no entry %s in the drop-down list", qPrintable(value));
    // Keyboard travel, as a user without a mouse would choose it.
    if (combo->currentIndex() < 0)
        QTest::keyClick(combo, Qt::Key_Down);
    while (combo->currentIndex() > i)
        QTest::keyClick(combo, Qt::Key_Up);
    while (combo->currentIndex() < i)
        QTest::keyClick(combo, Qt::Key_Down);
}

void choose(views::DataView *dw, const QString &column, const QString &value)
{
    auto *combo = qobject_cast<QComboBox *>(dw->fieldEditor(column));
    if (!combo)
        qFatal("%s is not a drop-down list", qPrintable(column));
    choose(combo, value);
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}

void chooseTab(QTabWidget *tabs, int index)
{
    QTabBar *bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    QCoreApplication::processEvents();
    if (tabs->currentIndex() != index)
        qFatal("tab %d was not chosen", index);
}

QStringList column(const views::DataView *dw, const QString &name)
{
    QStringList values;
    for (long r = 1; r <= dw->rowCount(); ++r)
        values << dw->getItemString(r, name);
    return values;
}

QString shown(const views::DataView *dw, const QString &column)
{
    return dw->displayText(column);
}

} // namespace drive

bool lastBoxIs(const fake::MessageBoxes &boxes, const ExpectedBox &e, QString *difference)
{
    if (boxes.shown.isEmpty()) {
        *difference = QStringLiteral("no box shown, expected %1").arg(e.code);
        return false;
    }
    const platform::MessageBoxRequest &b = boxes.shown.last();
    QStringList wrong;
    if (b.title != e.code)
        wrong << QStringLiteral("code %1, expected %2").arg(b.title, e.code);
    if (b.text != e.text)
        wrong << QStringLiteral("text \"%1\", expected \"%2\"").arg(b.text, e.text);
    if (b.icon != e.icon)
        wrong << QStringLiteral("icon %1, expected %2").arg(int(b.icon)).arg(int(e.icon));
    if (b.buttons != e.buttons)
        wrong << QStringLiteral("buttons %1, expected %2").arg(int(b.buttons)).arg(int(e.buttons));
    if (b.defaultButton != e.defaultButton)
        wrong << QStringLiteral("default button %1, expected %2").arg(b.defaultButton).arg(e.defaultButton);
    *difference = wrong.join(QStringLiteral("; "));
    return wrong.isEmpty();
}

void showPage(QWidget *page)
{
    page->resize(1000, 640);
    page->show();
    QApplication::setActiveWindow(page);
    if (!QTest::qWaitForWindowActive(page))
        qWarning("the page did not become active");
}

void exec(const QString &sql, const QVariantList &values)
{
    if (const DbResult done = testDb().execute(sql, values); !done)
        qFatal("%s: %s", qPrintable(sql), qPrintable(done.reason));
    if (const DbResult done = testDb().commit(); !done)
        qFatal("commit: %s", qPrintable(done.reason));
}
