#include "settings/printertab.h"

#include "pagekit/helpers.h"
#include "platform/services.h"
#include "settings/tabshape.h"
#include "widgets/unitgeometry.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace settings {

PrinterTab::PrinterTab(const QString &printerAtStart, QWidget *parent)
    : QWidget(parent)
{
    gb_d = new QGroupBox(this);
    gb_d->setObjectName(QStringLiteral("gb_d"));
    gb_d->setAccessibleName(QStringLiteral("打印机"));
    st_d1 = new QLabel(QStringLiteral("当前打印机"), this);
    st_d1->setObjectName(QStringLiteral("st_d1"));
    st_d1->setAccessibleName(st_d1->text());
    sle_d1 = new QLineEdit(this);
    sle_d1->setObjectName(QStringLiteral("sle_d1"));
    sle_d1->setAccessibleName(st_d1->text());
    st_d1->setBuddy(sle_d1);
    cb_d2 = pagekit::makeButton(QStringLiteral("设置(&P)"), QStringLiteral("cb_d2"), this);
    cb_d1 = pagekit::makeButton(QStringLiteral("选择(&L)"), QStringLiteral("cb_d1"), this);
    connect(cb_d2, &QPushButton::clicked, this, &PrinterTab::cb_d2_clicked);
    connect(cb_d1, &QPushButton::clicked, this, &PrinterTab::cb_d1_clicked);
    of_showprinter(printerAtStart);
}

void PrinterTab::of_showprinter()
{
    of_showprinter(platform::services().printers->description());
}

void PrinterTab::of_showprinter(const QString &description)
{
    // "name\tdriver\tport": the name is what comes before the first tab.
    if (!description.isEmpty())
        sle_d1->setText(description.section(QLatin1Char('\t'), 0, 0));
}

void PrinterTab::cb_d2_clicked()
{
    if (sle_d1->text().isEmpty()) {
        pagekit::showBox({QStringLiteral("028"), QStringLiteral("无打印机可设定!")});
        return;
    }
    platform::services().printers->setup(window());
}

void PrinterTab::cb_d1_clicked()
{
    platform::services().printers->choose(window());
    of_showprinter();
}

void PrinterTab::of_layout(int w, int h)
{
    const QRect frame = tabshape::frame(w, h);
    setUnitGeometry(gb_d, frame);
    setUnitGeometry(cb_d1, tabshape::button(w));
    setUnitGeometry(cb_d2, tabshape::button(w, tabshape::SecondButtonY));
    const int left = frame.x() + 60, top = frame.y() + 60;
    setUnitGeometry(st_d1, QRect(left, top + 4, 400, 80));
    setUnitGeometry(sle_d1, QRect(left + 410, top, std::max(200, frame.width() - 60 - 410 - 60), 88));
}

} // namespace settings
