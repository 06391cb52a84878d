#pragma once
// The grid: header texts named "<column>_t", the rows with formats, words and banding, and the
// summary band under them.

#include "views/viewpart.h"

namespace views::detail {

class GridModel;
class GridTable;
class SummaryBand;

class GridPart : public ViewPart
{
    Q_OBJECT
public:
    GridPart(DataStore *store, const Lookups *lookups, QWidget *parent);

    void showRow(long row) override;
    void bringIntoView(long row) override;
    bool acceptText(QString *reason) override;
    QRect objectRect(const QString &name, long row) const override;
    QString displayText(const QString &name, long row) const override;
    QString currentColumn() const override;
    bool setCurrentColumn(const QString &column) override;
    bool setColumnWidth(const QString &column, int pixels) override;
    void lookupsChanged() override;
    QWidget *focusTarget() override;
    void detach() override;
    void attach() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class GridTable;
    friend class SummaryBand;
    void applyColumnWidths();
    QRect summaryRect(const Compute &c) const;   // in the band
    const Compute *summaryAt(QPoint bandPos) const;

    GridModel *m_model;
    GridTable *m_table;
    SummaryBand *m_band = nullptr;
};

} // namespace views::detail
