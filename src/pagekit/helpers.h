#pragma once
// What every page does the same way, whatever its shape: buttons named for screen readers, the
// header-sort toggle shared by all columns of a list, the one highlighted row, message boxes, and
// the rule for writing: write, then commit, then clear the view's flags; on any failure keep the
// database's text, roll back and say so.

#include "platform/messagebox.h"

#include <QString>

class Connection;
struct DbResult;
class QLabel;
class QPushButton;
class QWidget;

namespace views {
class DataView;
struct ViewObject;
}

namespace pagekit {

// A button with its caption ("保存(&S)"), object name, and the caption without "&" as its
// accessible name.
QPushButton *makeButton(const QString &caption, const QString &objectName, QWidget *parent);
// The caption of a field: the field (its buddy, which a mnemonic reaches) takes it as its
// accessible name too.
QLabel *makeLabel(const QString &caption, const QString &objectName, QWidget *buddy, QWidget *parent);

// A message box of the page: code, text and icon.
struct Box
{
    QString code;
    QString text;
    platform::Icon icon = platform::Icon::Information;
};

// Shows `box`, its text followed by `more` where given (a failure's line break and reason).
void showBox(const Box &box, const QString &more = QString());
// A Yes/No question with the question icon and No preselected; true only for Yes.
bool confirm(const QString &code, const QString &text);
// Empty after trimming blanks at both ends.
bool isBlank(const QString &text);

// The sort direction that every header of a list shares: the first click sorts ascending, each
// further click on any header flips it.
class SortToggle
{
public:
    // A click on a header text ("xingm0_t") sorts the view by that column; other objects are left
    // alone. A text that names no column (such as "合计:") flips the direction and sorts nothing.
    bool headerClicked(views::DataView *dw, const views::ViewObject &object);
    QString suffix() const { return is_sort; }

private:
    QString is_sort;
};

// Clears every highlight of the view, then highlights `row` (none for 0).
void highlightOnly(views::DataView *dw, long row);

// After statements (or a view) have written through `db`: commits; when the write or the commit
// failed, rolls back and shows `failure` followed by a line break and the failure's reason.
bool commitOrReport(Connection &db, const DbResult &written, const Box &failure);
// Writes the view (the value being typed first), commits, and only then clears the view's flags:
// a refused write or a failed commit leaves the view as typed, ready to be saved again.
bool saveView(Connection &db, views::DataView *view, const Box &failure);

} // namespace pagekit
