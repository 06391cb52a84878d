#pragma once
// What the control shows its store through: a grid or a card. Both report clicks and edits upward;
// the control owns the current row and forwards it down.

#include "views/dataview.h"
#include "views/definition.h"

#include <QHash>
#include <QSet>
#include <QWidget>

namespace views::detail {

// Drop-down and code-table entries of a definition's columns, by column index.
struct Lookups
{
    QHash<int, QList<CodeEntry>> choices;
    QHash<int, QHash<QString, QString>> display;   // data value -> word shown
    QSet<int> blankUnknown;                         // columns whose values without a word show empty

    // The word for a value, or the value itself where it has none (empty where the column says so).
    QString displayOf(int column, const QString &data) const
    {
        const auto it = display.constFind(column);
        if (it == display.cend())
            return data;
        return it->value(data, blankUnknown.contains(column) ? QString() : data);
    }
};

class ViewPart : public QWidget
{
    Q_OBJECT
public:
    ViewPart(DataStore *store, const Lookups *lookups, QWidget *parent)
        : QWidget(parent), m_store(store), m_lookups(lookups), m_def(store->definition()) {}

    const Definition *definition() const { return m_def; }   // the one the part was built for

    virtual void showRow(long row) = 0;             // the current row changed
    virtual void bringIntoView(long row) = 0;
    // The value being typed reaches the row; false with the reason when it does not fit.
    virtual bool acceptText(QString *reason) = 0;
    virtual QRect objectRect(const QString &name, long row) const = 0;   // in this widget
    virtual QWidget *fieldEditor(const QString &) const { return nullptr; }
    virtual QString displayText(const QString &name, long row) const = 0;
    virtual QString currentColumn() const = 0;
    virtual bool setCurrentColumn(const QString &column) = 0;
    // A grid column's width in pixels; a card has no columns to widen.
    virtual bool setColumnWidth(const QString &, int) { return false; }
    virtual void lookupsChanged() = 0;
    virtual QWidget *focusTarget() { return this; }   // where the control's keyboard focus goes
    // The control switches to another definition: stop following the store. The control keeps the
    // part, hidden, for when it switches back (a page goes from list to card and back on every
    // other click: building them anew each time is most of such a click's cost).
    virtual void detach() = 0;
    // The store holds the part's definition again, its rows dropped: follow it, showing what a
    // part just built shows.
    virtual void attach() = 0;

signals:
    void clicked(QPoint pos, long row, const views::ViewObject &object);
    void doubleClicked(QPoint pos, long row, const views::ViewObject &object);
    void rowRequested(long row);
    void edited(long row, const QString &column, const QString &text);

protected:
    const Definition *def() const { return m_def; }
    DataStore *m_store;
    const Lookups *m_lookups;
    const Definition *m_def;
};

} // namespace views::detail
