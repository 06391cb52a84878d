#pragma once
// The find box of a group-tree page: a line laid over the top of the page's tree and, under it, the
// records matching what is typed, best first, each with its name, its group and the field that
// matched. Up and Down choose a line, Enter or a click opens it (the box says which record through
// chosen() and closes), Escape closes it. It takes nothing of the page's layout: it lies above the
// tree, and closing it shows the tree as it was.
//
// The index is read from the database the first time the box opens, never before; after that the
// page keeps it current: refresh() the records a save or delete touched, reload() after an import.

#include "find/recordsource.h"

#include <QFrame>
#include <memory>

class Connection;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace pagekit {

struct FoundRecord
{
    qint64 id = 0;
    QString name;
    QString groupCode;
};

class FindBox : public QFrame
{
    Q_OBJECT
public:
    // Lies over `tree`, in the tree's parent, and follows it when it moves or changes size.
    FindBox(Connection &db, const finder::RecordSource &source, QWidget *tree);
    ~FindBox() override;

    // Reads the records the first time, then shows the box with what was last typed, selected.
    void open();
    // Hides the box and gives the tree back the keyboard focus.
    void close();
    bool isOpen() const;
    // Whether the records have been read (the box has been opened since the last reload).
    bool isBuilt() const;

    // The stored records whose `column` equals `value`: what a page's write is about to touch, found
    // by the page's key (a contact's name, an item's id).
    QList<qint64> idsWhere(const QString &column, const QVariant &value) const;
    // The stored value of `column` of the record `id` (how the page's tree knows it); null if gone.
    QVariant value(qint64 id, const QString &column) const;
    // Reads these records again after a write; a record no longer stored leaves the index. The lines
    // shown follow at once. Nothing happens before the box was first opened.
    void refresh(const QList<qint64> &ids);
    // Everything may have changed (an import): read again now when open, else at the next open.
    void reload();

    QLineEdit *edit() const { return m_edit; }
    QTreeWidget *results() const { return m_results; }
    // How many records the index holds, and what it occupies (0 before the first open).
    qsizetype recordCount() const;
    std::size_t memoryUsage() const;

signals:
    // The user chose this record; the box has closed.
    void chosen(const pagekit::FoundRecord &record);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool build();
    void search();
    void choose(QTreeWidgetItem *line);
    void moveCurrent(int step);
    void place();

    Connection &m_db;
    finder::RecordSource m_source;
    QWidget *m_tree;
    QLineEdit *m_edit;
    QTreeWidget *m_results;
    std::unique_ptr<finder::FindIndex> m_index;
};

} // namespace pagekit

Q_DECLARE_METATYPE(pagekit::FoundRecord)
