#pragma once
// The personal-assets page: asset items in groups. The tree chooses what `dw_1` shows: the list of
// a group's (or every) item, or one item's form; the buttons add, save and delete items. An item is
// known by its id, which the database assigns. While a unit price or a quantity is typed, the
// item's total value follows at once.

#include "pagekit/grouptreepage.h"

#include <QVariant>

class u_capital : public pagekit::GroupTreePage
{
    Q_OBJECT
public:
    explicit u_capital(Connection &db, QWidget *parent = nullptr);

    // A sum of money as it is stored: rounded to the two decimals it is shown with, so that
    // 3 × 0.10 is 0.30 and not 0.30000000000000004.
    static double of_money(double value);

protected:
    void of_build() override;
    void of_newrow(long row) override;
    pagekit::Group of_deletetarget(long row) override;
    DbResult of_deletestored(const pagekit::Group &target) override;
    void dw_1_editchanged(long row, const QString &column, const QString &text) override;

private:
    void of_roundworth(long row, int column);

    QVariant m_deleting;   // the id of the item a delete acts on; null for a row never saved
};
