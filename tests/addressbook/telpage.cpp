#include "telpage.h"

#include "app/transaction.h"
#include "views/dataview.h"
#include "widgets/handletree.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>

using widgets::TreeItem;
using widgets::TreeNavigation;

TelPage::TelPage(const QList<Contact> &contacts, const QList<QPair<QString, QString>> &groups)
{
    for (const auto &g : groups)
        if (!sqlca.execute(QStringLiteral("INSERT INTO t_group (zuhao0, zuming) VALUES (?, ?)"), {g.first, g.second}))
            qFatal("cannot add a group: %s", qPrintable(sqlca.sqlerrtext));
    for (const Contact &c : contacts)
        if (!sqlca.execute(QStringLiteral("INSERT INTO t_telinfo (zuhao0, xingm0, shouji, danwei) VALUES (?, ?, ?, '单位')"),
                           {c.group, c.name, c.mobile}))
            qFatal("cannot add a contact: %s", qPrintable(sqlca.sqlerrtext));
    sqlca.commit();
    page = std::make_unique<u_telpro>();
    page->resize(1000, 640);
    page->show();
    QApplication::setActiveWindow(page.get());
    if (!QTest::qWaitForWindowActive(page.get()))
        qWarning("the page did not become active");
}

TelPage::~TelPage()
{
    page.reset();
}

long TelPage::root() const
{
    return page->tv_1->findItem(TreeNavigation::Root);
}

long TelPage::group(const QString &code) const
{
    return page->tv_1->findChildByData(root(), code);
}

long TelPage::contact(const QString &code, const QString &name)
{
    const long g = group(code);
    page->tv_1->expandItem(g);
    return page->tv_1->findChildByLabel(g, name);
}

QStringList TelPage::children(long handle) const
{
    QStringList labels;
    for (long h = page->tv_1->findItem(TreeNavigation::Child, handle); h; h = page->tv_1->findItem(TreeNavigation::Next, h)) {
        TreeItem t;
        page->tv_1->getItem(h, t);
        labels << t.label;
    }
    return labels;
}

void TelPage::select(long handle)
{
    QCoreApplication::processEvents();
    const QRect r = page->tv_1->itemRect(handle);
    if (r.isEmpty())
        qFatal("tree item %ld is not shown", handle);
    QTest::mouseClick(page->tv_1->viewport(), Qt::LeftButton, {}, r.center());
}

long TelPage::current() const
{
    return page->tv_1->findItem(TreeNavigation::Current);
}

void TelPage::clickHeader(const QString &objectName)
{
    QCoreApplication::processEvents();
    const QRect r = page->dw_1->objectRect(objectName);
    if (r.isEmpty())
        qFatal("no object %s in the list", qPrintable(objectName));
    QWidget *target = page->dw_1->childAt(r.center());
    QTest::mouseClick(target ? target : page->dw_1, Qt::LeftButton, {}, target ? target->mapFrom(page->dw_1, r.center()) : r.center());
}

void TelPage::doubleClickCell(const QString &column, long row)
{
    QCoreApplication::processEvents();
    const QRect r = page->dw_1->objectRect(column, row);
    if (r.isEmpty())
        qFatal("no cell %s of row %ld", qPrintable(column), row);
    QWidget *target = page->dw_1->childAt(r.center());
    const QPoint at = target ? target->mapFrom(page->dw_1, r.center()) : r.center();
    QWidget *w = target ? target : page->dw_1;
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    QTest::mouseDClick(w, Qt::LeftButton, {}, at);
    // The page opens the contact once the double-click has finished.
    QCoreApplication::processEvents();
}

void TelPage::type(const QString &column, const QString &text)
{
    QWidget *editor = page->dw_1->fieldEditor(column);
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
    }
    typeText(editor, text);
}

void typeText(QWidget *widget, const QString &text)
{
    // Key by key as a keyboard (or an input method) delivers them, Chinese and emoji included.
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

void TelPage::chooseGroup(const QString &code)
{
    auto *combo = qobject_cast<QComboBox *>(page->dw_1->fieldEditor(QStringLiteral("zuhao0")));
    if (!combo)
        qFatal("the group field is not a drop-down list");
    combo->setFocus();
    const int i = combo->findData(code);
    if (i < 0)
        qFatal("no group %s in the drop-down", qPrintable(code));
    // Keyboard travel, as a user without a mouse would choose it.
    combo->setCurrentIndex(0);
    for (int k = 0; k < i; ++k)
        QTest::keyClick(combo, Qt::Key_Down);
}

void TelPage::click(QWidget *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

int TelPage::contactCount(const QString &where) const
{
    return scalar(QStringLiteral("SELECT count(*) FROM t_telinfo WHERE ") + where).toInt();
}

QString TelPage::field(const QString &name, const QString &column) const
{
    return scalar(QStringLiteral("SELECT %1 FROM t_telinfo WHERE xingm0 = ?").arg(column), {name}).toString();
}
