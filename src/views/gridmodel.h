#pragma once
// A store as a table model: only the rows on screen are ever asked for, so a list of 100,000
// contacts costs no more to show than one of ten. Also computes the summary band's fields.

#include "views/summary.h"
#include "views/viewpart.h"

#include <QAbstractTableModel>

namespace views::detail {

class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    GridModel(DataStore *store, const Lookups *lookups, QObject *parent);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const Definition &def() const { return *m_def; }
    const Column &columnAt(int section) const { return def().columns.at(m_columns.at(section)); }
    int definitionColumn(int section) const { return m_columns.at(section); }
    int sectionOf(const QString &column) const;   // -1 when the grid does not show it
    bool anyEditable() const;
    // True while rows come and go: the view's own moves of its current cell then are no user's.
    bool mutating() const { return m_mutating; }
    void detach();   // shows nothing more and no longer follows the store
    void attach();   // follows the store again, which holds this model's definition

    QString cellText(int row, int section) const;   // row from 0
    QString summaryText(const Compute &c) const;
    QColor summaryColor(const Compute &c) const;

signals:
    void summaryChanged();

private:
    void invalidate();

    void followStore();

    DataStore *m_store;
    const Lookups *m_lookups;
    const Definition *m_def;
    QList<int> m_columns;
    bool m_mutating = false;
    bool m_detached = false;
    Summary m_summary;
};

} // namespace views::detail
