#pragma once
// The personal-assets page: asset items in groups. The tree chooses what `recordView` shows: the
// list of a group's (or every) item, or one item's form; the buttons add, save and delete items. An item is
// known by its id, which the database assigns. While a unit price or a quantity is typed, the
// item's total value follows at once.

#include "pagekit/grouptreepage.h"

#include <QVariant>

class AssetsPage : public pagekit::GroupTreePage
{
    Q_OBJECT
public:
    explicit AssetsPage(Connection &db, QWidget *parent = nullptr);

    // A sum of money as it is stored: rounded to the two decimals it is shown with, so that
    // 3 × 0.10 is 0.30 and not 0.30000000000000004.
    static double roundedMoney(double value);

protected:
    void buildControls() override;
    void initNewRow(long row) override;
    pagekit::Group deleteTarget(long row) override;
    DbResult deleteStored(const pagekit::Group &target) override;
    void cardEdited(long row, const QString &column, const QString &text) override;

private:
    void roundTypedTotal(long row, int column);

    QVariant m_deleting;   // the id of the item a delete acts on; null for a row never saved
};
