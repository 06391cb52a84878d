#include "pagekit/contextmenu.h"

#include "widgets/handletree.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMenu>

namespace pagekit {

namespace {

bool isMenuKey(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Menu
        || (key->key() == Qt::Key_F10 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier);
}

} // namespace

ContextMenu::ContextMenu(QWidget *owner, const QString &accessibleName)
    : QObject(owner)
    , m_owner(owner)
    , m_menu(new QMenu(owner))
{
    m_menu->setObjectName(QStringLiteral("m_context"));
    m_menu->setAccessibleName(accessibleName);
    owner->installEventFilter(this);
}

ContextMenu *ContextMenu::onGroupTree(widgets::HandleTree *tree, const QString &accessibleName)
{
    auto *menu = new ContextMenu(tree, accessibleName);
    menu->m_tree = tree;
    // The pointer's clicks reach the tree's viewport; keys reach the tree.
    tree->viewport()->installEventFilter(menu);
    return menu;
}

ContextMenu *ContextMenu::onList(QWidget *list, const QString &accessibleName)
{
    return new ContextMenu(list, accessibleName);
}

QAction *ContextMenu::addAction(const QString &caption, const QString &objectName, Act act)
{
    QAction *action = m_menu->addAction(caption);
    action->setObjectName(objectName);
    connect(action, &QAction::triggered, this, [this, act = std::move(act)] { act(m_target); });
    return action;
}

bool ContextMenu::resolve(const QPoint *viewportPos, MenuTarget *out, QPoint *globalPos) const
{
    if (!m_tree) {
        *out = MenuTarget();
        *globalPos = m_owner->mapToGlobal(viewportPos ? *viewportPos : m_owner->rect().center());
        return true;
    }
    const long handle = viewportPos ? m_tree->itemAt(*viewportPos) : m_tree->findItem(widgets::TreeNavigation::Current);
    widgets::TreeItem item;
    if (handle == 0 || !m_tree->getItem(handle, item) || item.level > 2)
        return false;
    *out = {handle, item.level, item.data.toString(), item.label};
    const QRect rect = m_tree->itemRect(handle);
    *globalPos = m_tree->viewport()->mapToGlobal(viewportPos ? *viewportPos : rect.isEmpty() ? QPoint() : rect.bottomLeft());
    return true;
}

void ContextMenu::openAt(const QPoint *viewportPos)
{
    // A keyboard's menu can arrive both as a key and as a menu event: one menu is open at a time.
    if (!m_menu || m_menu->isVisible() || !m_owner->isEnabled())
        return;
    MenuTarget target;
    QPoint at;
    if (!resolve(viewportPos, &target, &at))
        return;
    m_target = target;
    m_menu->popup(at);
    if (!viewportPos && !m_menu->actions().isEmpty())
        m_menu->setActiveAction(m_menu->actions().first());
}

bool ContextMenu::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ContextMenu: {
        auto *e = static_cast<QContextMenuEvent *>(event);
        const bool fromPointer = e->reason() == QContextMenuEvent::Mouse;
        if (fromPointer) {
            // On a tree the position is the viewport's; on a list, the list's own.
            const QPoint pos = m_tree && watched == m_tree ? m_tree->viewport()->mapFrom(m_tree, e->pos()) : e->pos();
            openAt(&pos);
        } else {
            openAt(nullptr);
        }
        return true;
    }
    case QEvent::KeyPress:
        if (watched == m_owner && isMenuKey(static_cast<QKeyEvent *>(event))) {
            openAt(nullptr);
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        // A tree selects the item a right button presses on; the menu's item must not be selected.
        if (m_tree && watched == m_tree->viewport() && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton)
            return true;
        break;
    case QEvent::Hide:
        // The page is hidden (another page, the lock): its menu goes with it.
        if (watched == m_owner && m_menu)
            m_menu->close();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace pagekit
