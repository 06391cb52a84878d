#include "settings/backuptab.h"

#include "settings/tabshape.h"
#include "widgets/unitgeometry.h"

#include <QGroupBox>

namespace settings {

BackupTab::BackupTab(QWidget *parent)
    : QWidget(parent)
{
    gb_c = new QGroupBox(this);
    gb_c->setObjectName(QStringLiteral("gb_c"));
    gb_c->setAccessibleName(QStringLiteral("备份"));
}

void BackupTab::of_layout(int w, int h)
{
    setUnitGeometry(gb_c, tabshape::frame(w, h));
}

} // namespace settings
