#pragma once
// The address-book page: contacts in groups. The tree chooses what `dw_1` shows: the list of a
// group's (or every) contact, or one contact's card; the buttons add, save and delete contacts.

#include <QString>
#include <QWidget>

class QPushButton;

namespace views {
class DataView;
struct DwObject;
}
namespace widgets {
class HandleTree;
}

class u_telpro : public QWidget
{
    Q_OBJECT
public:
    explicit u_telpro(QWidget *parent = nullptr);

    widgets::HandleTree *tv_1;
    views::DataView *dw_1;
    QPushButton *cb_1; // 添加(&A)
    QPushButton *cb_2; // 删除(&D)
    QPushButton *cb_3; // 保存(&S)
    QPushButton *cb_7; // 关闭(&C)

    // Builds the tree afresh below a new root (also run again after every save and delete).
    void constructor();
    // Reads a group's contacts into the tree below its item; false when the group has none.
    bool of_fillgroup(long handle, const QString &code);
    // Places the tree, the view and the buttons in the page's rectangle, in layout units.
    void of_layout(int widthUnits, int heightUnits);

    QString sortSuffix() const { return is_sort; }

    void tv_1_itempopulate(long handle);
    void tv_1_selectionchanged(long oldhandle, long newhandle);
    void dw_1_clicked(int xpos, int ypos, long row, const views::DwObject &dwo);
    void dw_1_doubleclicked(int xpos, int ypos, long row, const views::DwObject &dwo);
    void dw_1_rowfocuschanging(long currentrow, long newrow);
    void dw_1_losefocus();
    int dw_1_dberror(long sqldbcode, const QString &sqlerrtext);
    void cb_1_clicked();
    void cb_2_clicked();
    void cb_3_clicked();
    void cb_7_clicked();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Rebuilds the tree and finds group `code` again (expanded), and after a save contact `name`.
    void of_rebuild(const QString &code, const QString &name = QString());
    // Expands the group of `code` and selects its contact `name`; false when the group is not there.
    bool of_locate(const QString &code, const QString &name);
    bool showsCard() const;
    // The group whose code is "z" in any case collects deleted contacts.
    static bool isDeletedGroup(const QString &code);

    QString is_sort;
};
