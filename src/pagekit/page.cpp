#include "pagekit/page.h"

#include "widgets/unitgeometry.h"
#include "widgets/units.h"

#include <QResizeEvent>

namespace pagekit {

namespace {

int deferring = 0;

} // namespace

Page::Deferred::Deferred()
{
    ++deferring;
}

Page::Deferred::~Deferred()
{
    --deferring;
}

Page::Page(Connection &db, QWidget *parent)
    : QWidget(parent)
    , m_db(db)
{
}

void Page::created()
{
    if (deferring > 0)
        of_prepare();
    else
        build(); // laid out by the first size it is given, as any widget
}

void Page::build()
{
    m_building = true;
    of_build();
    m_building = false;
    m_filled = true;
    emit filled();
}

void Page::of_fill()
{
    if (m_filled || m_building)
        return;
    build();
    const QRect r = unitRect();
    of_arrange(r.width(), r.height());
}

void Page::of_prepare()
{
}

void Page::of_layout(int w, int h)
{
    if (m_filled)
        of_arrange(w, h);
}

void Page::of_lock(bool locked)
{
    if (m_filled)
        of_lockcontrols(locked);
}

void Page::of_lockcontrols(bool)
{
}

void Page::of_exit()
{
}

void Page::setVisible(bool visible)
{
    // Built before it is shown, so that its controls show with it.
    if (visible)
        of_fill();
    QWidget::setVisible(visible);
}

QRect Page::unitRect() const
{
    if (hasUnitGeometry(this))
        return unitGeometry(this);
    return QRect(0, 0, units::toUnitsX(width(), logicalDpiX()), units::toUnitsY(height(), logicalDpiY()));
}

void Page::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QRect r = unitRect();
    of_layout(r.width(), r.height());
}

} // namespace pagekit
