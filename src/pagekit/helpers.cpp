#include "pagekit/helpers.h"

#include "app/connection.h"
#include "views/dataview.h"

#include <QLabel>
#include <QPushButton>

namespace pagekit {

QPushButton *makeButton(const QString &caption, const QString &objectName, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(objectName);
    QString name = caption;
    b->setAccessibleName(name.remove(QLatin1Char('&')));
    return b;
}

QLabel *makeLabel(const QString &caption, const QString &objectName, QWidget *buddy, QWidget *parent)
{
    auto *l = new QLabel(caption, parent);
    l->setObjectName(objectName);
    l->setAccessibleName(caption);
    l->setBuddy(buddy);
    buddy->setAccessibleName(caption);
    return l;
}

void showBox(const Box &box, const QString &more)
{
    platform::messageBox(box.code, more.isNull() ? box.text : box.text + more, box.icon);
}

bool confirm(const QString &code, const QString &text)
{
    return platform::messageBox(code, text, platform::Icon::Question, platform::Buttons::YesNo, 2)
        == platform::Answer::Yes;
}

bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

bool SortToggle::headerClicked(views::DataView *dw, const views::ViewObject &object)
{
    if (object.type != QStringLiteral("text"))
        return false;
    is_sort = is_sort == QStringLiteral(" A") ? QStringLiteral(" D") : QStringLiteral(" A");
    // A text that names no column gives a criterion the view refuses quietly.
    if (!dw->setSort(object.name.left(object.name.size() - 2) + is_sort))
        return false;
    return dw->sort();
}

void highlightOnly(views::DataView *dw, long row)
{
    dw->selectRow(0, false);
    // Row 0 is no row here: the view would take it for all of them.
    if (row > 0)
        dw->selectRow(row, true);
}

bool commitOrReport(Connection &db, const DbResult &written, const Box &failure)
{
    const DbResult result = written ? db.commit() : written;
    if (result)
        return true;
    db.rollback();
    showBox(failure, QStringLiteral("\n") + result.reason);
    return false;
}

bool saveView(Connection &db, views::DataView *view, const Box &failure)
{
    if (!commitOrReport(db, view->update(false), failure))
        return false;
    view->resetUpdate();
    return true;
}

} // namespace pagekit
