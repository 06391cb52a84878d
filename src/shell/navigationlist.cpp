#include "shell/navigationlist.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace {

class NavigationDelegate : public QStyledItemDelegate
{
public:
    explicit NavigationDelegate(NavigationList *list)
        : QStyledItemDelegate(list)
        , m_list(list)
    {
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (m_list->hideSelection() && !m_list->hasFocus())
            option->state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
    }

private:
    NavigationList *m_list;
};

} // namespace

NavigationList::NavigationList(QWidget *parent)
    : QListWidget(parent)
{
    setViewMode(QListView::IconMode);
    setFlow(QListView::TopToBottom);
    setWrapping(false);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(false);
    setWordWrap(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new NavigationDelegate(this));
}

int NavigationList::selectedIndex() const
{
    const QList<QListWidgetItem *> items = selectedItems();
    return items.isEmpty() ? 0 : row(items.first()) + 1;
}

void NavigationList::choose(int index)
{
    if (index < 1 || index > count())
        return;
    setCurrentRow(index - 1, QItemSelectionModel::ClearAndSelect);
    scrollToItem(item(index - 1));
    emit chosen(index);
}

void NavigationList::setHideSelection(bool on)
{
    m_hideSelection = on;
    viewport()->update();
}

void NavigationList::mousePressEvent(QMouseEvent *event)
{
    // Only a left click on an item does anything; elsewhere the selection stays as it is.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !index.isValid()) {
        event->accept();
        return;
    }
    QListWidget::mousePressEvent(event);
    choose(index.row() + 1);
}

void NavigationList::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second click of a double click chooses the item again, as any second click does.
    mousePressEvent(event);
}

void NavigationList::mouseMoveEvent(QMouseEvent *event)
{
    // Dragging with the button held would move the selection away from the chosen item.
    if (event->buttons() != Qt::NoButton) {
        event->accept();
        return;
    }
    QListWidget::mouseMoveEvent(event);
}

void NavigationList::keyPressEvent(QKeyEvent *event)
{
    const int selected = selectedIndex();
    switch (event->key()) {
    case Qt::Key_Up:
        if (selected > 1)
            choose(selected - 1);
        event->accept();
        return;
    case Qt::Key_Down:
        if (selected >= 1 && selected < count())
            choose(selected + 1);
        event->accept();
        return;
    default:
        // Every other key goes on to the window, whose key handler unlocks.
        event->ignore();
        return;
    }
}

void NavigationList::focusInEvent(QFocusEvent *event)
{
    QListWidget::focusInEvent(event);
    viewport()->update();
}

void NavigationList::focusOutEvent(QFocusEvent *event)
{
    QListWidget::focusOutEvent(event);
    viewport()->update();
}
