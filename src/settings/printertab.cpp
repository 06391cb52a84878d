#include "settings/printertab.h"

#include "settings/tabshape.h"
#include "widgets/unitgeometry.h"

#include <QGroupBox>

namespace settings {

PrinterTab::PrinterTab(QWidget *parent)
    : QWidget(parent)
{
    gb_d = new QGroupBox(this);
    gb_d->setObjectName(QStringLiteral("gb_d"));
    gb_d->setAccessibleName(QStringLiteral("打印机"));
}

void PrinterTab::of_layout(int w, int h)
{
    setUnitGeometry(gb_d, tabshape::frame(w, h));
}

} // namespace settings
