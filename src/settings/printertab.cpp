#include "settings/printertab.h"

#include "pagekit/helpers.h"
#include "platform/services.h"
#include "settings/printeratstart.h"
#include "settings/tabshape.h"
#include "widgets/unitgeometry.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace settings {

PrinterTab::PrinterTab(PrinterAtStart &printerAtStart, QWidget *parent)
    : QWidget(parent)
    , m_printerAtStart(printerAtStart)
{
    frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("gb_d"));
    frame->setAccessibleName(QStringLiteral("打印机"));
    printerLabel = new QLabel(QStringLiteral("当前打印机"), this);
    printerLabel->setObjectName(QStringLiteral("st_d1"));
    printerLabel->setAccessibleName(printerLabel->text());
    printerName = new QLineEdit(this);
    printerName->setObjectName(QStringLiteral("sle_d1"));
    printerName->setAccessibleName(printerLabel->text());
    printerLabel->setBuddy(printerName);
    setupButton = pagekit::makeButton(QStringLiteral("设置(&P)"), QStringLiteral("cb_d2"), this);
    chooseButton = pagekit::makeButton(QStringLiteral("选择(&L)"), QStringLiteral("cb_d1"), this);
    connect(setupButton, &QPushButton::clicked, this, &PrinterTab::setUp);
    connect(chooseButton, &QPushButton::clicked, this, &PrinterTab::choosePrinter);
    if (printerAtStart.isRead())
        showPrinter(printerAtStart.description());
    else
        connect(&printerAtStart, &PrinterAtStart::arrived, this, &PrinterTab::showPrinter);
}

void PrinterTab::showCurrentPrinter()
{
    // The read at start first: it must not show over what is read now.
    m_printerAtStart.wait();
    showPrinter(platform::services().printers->description());
}

void PrinterTab::showPrinter(const QString &description)
{
    // "name\tdriver\tport": the name is what comes before the first tab.
    if (!description.isEmpty())
        printerName->setText(description.section(QLatin1Char('\t'), 0, 0));
}

void PrinterTab::setUp()
{
    // Whether there is a printer to set up is known once the read at start is done.
    m_printerAtStart.wait();
    if (printerName->text().isEmpty()) {
        pagekit::showBox({QStringLiteral("028"), QStringLiteral("无打印机可设定!")});
        return;
    }
    platform::services().printers->setup(window());
}

void PrinterTab::choosePrinter()
{
    m_printerAtStart.wait();
    platform::services().printers->choose(window());
    showCurrentPrinter();
}

void PrinterTab::placeControls(int w, int h)
{
    const QRect area = tabshape::frame(w, h);
    setUnitGeometry(frame, area);
    setUnitGeometry(chooseButton, tabshape::button(w));
    setUnitGeometry(setupButton, tabshape::button(w, tabshape::SecondButtonY));
    const int left = area.x() + 60, top = area.y() + 60;
    setUnitGeometry(printerLabel, QRect(left, top + 4, 400, 80));
    setUnitGeometry(printerName, QRect(left + 410, top, std::max(200, area.width() - 60 - 410 - 60), 88));
}

} // namespace settings
