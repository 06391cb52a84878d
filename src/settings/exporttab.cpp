#include "settings/exporttab.h"

#include "settings/tabshape.h"
#include "widgets/unitgeometry.h"

#include <QGroupBox>

namespace settings {

ExportTab::ExportTab(QWidget *parent)
    : QWidget(parent)
{
    gb_b = new QGroupBox(this);
    gb_b->setObjectName(QStringLiteral("gb_b"));
    gb_b->setAccessibleName(QStringLiteral("导出"));
}

void ExportTab::of_layout(int w, int h)
{
    setUnitGeometry(gb_b, tabshape::frame(w, h));
}

} // namespace settings
