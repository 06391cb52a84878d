#pragma once
// A tab control whose pages the holding page lays out itself, whether they were shown yet or not. A
// hidden tab control leaves its pages at whatever size they had (the main window lays out hidden pages
// too, and a tab not chosen yet was never shown), so a page asks it how large its pages are instead.

#include <QSize>
#include <QString>
#include <QTabWidget>

namespace pagekit {

class TabPages : public QTabWidget
{
    Q_OBJECT
public:
    TabPages(const QString &objectName, const QString &accessibleName, QWidget *parent);

    // Adds `page` under `caption`, with the picture resource/<picture> (none where empty). The page
    // takes `objectName` and, as its accessible name, the caption without blanks at either end.
    QWidget *addPage(QWidget *page, const QString &objectName, const QString &caption, const QString &picture = {});

    // The size in layout units its pages have when the control is `units` large: what the style leaves
    // for them, worked out the way the control places them itself once shown.
    QSize pageSize(const QSize &units) const;
    // The same for the control's present size.
    QSize pageSize() const;

private:
    QSize pageSizeInPixels(const QSize &pixels) const;
};

} // namespace pagekit
