#pragma once
// The right-click menu of a page's tree or list, the same on every page. It opens on what the
// pointer is over, or, from the keyboard (the menu key, Shift+F10), on the current item, and acts on
// that item without making it current: selecting it would replace a card that holds unsaved edits.

#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace widgets {
class HandleTree;
}

namespace pagekit {

// What a menu was opened on: a tree's item (its handle, level, data and label), or a whole list.
struct MenuTarget
{
    long handle = 0;
    int level = 0;
    QString data;
    QString label;
};

class ContextMenu : public QObject
{
    Q_OBJECT
public:
    using Act = std::function<void(const MenuTarget &)>;

    // On a group tree's root and groups; members and the space below the items open nothing.
    static ContextMenu *onGroupTree(widgets::HandleTree *tree, const QString &accessibleName);
    // On a list, whatever row the pointer is over: the menu acts on the list as it is shown.
    static ContextMenu *onList(QWidget *list, const QString &accessibleName);

    // An item of the menu: its caption, which is also its accessible name, and what it does.
    QAction *addAction(const QString &caption, const QString &objectName, Act act);

    QMenu *menu() const { return m_menu; }
    // What the menu last opened on.
    const MenuTarget &target() const { return m_target; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ContextMenu(QWidget *owner, const QString &accessibleName);
    // What is under `viewportPos`, or, without one, what is current; false where nothing is.
    bool resolve(const QPoint *viewportPos, MenuTarget *out, QPoint *globalPos) const;
    void openAt(const QPoint *viewportPos);

    QWidget *m_owner;
    widgets::HandleTree *m_tree = nullptr;
    QMenu *m_menu;              // a child of the owner
    MenuTarget m_target;
};

} // namespace pagekit
