#include "pagekit/tabpages.h"

#include "app/appinfo.h"
#include "widgets/units.h"

#include <QIcon>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>

#include <algorithm>

namespace pagekit {

TabPages::TabPages(const QString &objectName, const QString &accessibleName, QWidget *parent)
    : QTabWidget(parent)
{
    setObjectName(objectName);
    setAccessibleName(accessibleName);
}

QWidget *TabPages::addPage(QWidget *page, const QString &objectName, const QString &caption, const QString &picture)
{
    page->setObjectName(objectName);
    // Captions carry blanks for spacing on the tab (" 支出"); a screen reader reads the word.
    page->setAccessibleName(caption.trimmed());
    if (picture.isEmpty())
        addTab(page, caption);
    else
        addTab(page, QIcon(appFile(QStringLiteral("resource/") + picture)), caption);
    return page;
}

QSize TabPages::pageSize(const QSize &units) const
{
    const QSize pixels(units::toPixelsX(std::max(0, units.width()), logicalDpiX()),
                       units::toPixelsY(std::max(0, units.height()), logicalDpiY()));
    return pageSizeInPixels(pixels);
}

QSize TabPages::pageSize() const
{
    return pageSizeInPixels(size());
}

QSize TabPages::pageSizeInPixels(const QSize &pixels) const
{
    // The style option the control lays out its own pages from, for the asked size.
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    option.rect = QRect(QPoint(), pixels);
    const QRect contents = style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this);
    return QSize(units::toUnitsX(contents.width(), logicalDpiX()), units::toUnitsY(contents.height(), logicalDpiY()));
}

} // namespace pagekit
