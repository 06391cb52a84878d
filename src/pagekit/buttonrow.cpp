#include "pagekit/buttonrow.h"

#include "pagekit/helpers.h"
#include "widgets/unitgeometry.h"

namespace pagekit {

ButtonRow::ButtonRow(QWidget *page)
    : m_page(page)
{
}

QPushButton *ButtonRow::add(const QString &caption, const QString &objectName)
{
    QPushButton *button = makeButton(caption, objectName, m_page);
    m_buttons << button;
    return button;
}

void ButtonRow::place(int pageWidth) const
{
    // From the right edge leftwards: the last button added stands rightmost.
    int x = pageWidth - Margin - Width;
    for (auto it = m_buttons.crbegin(); it != m_buttons.crend(); ++it) {
        setUnitGeometry(*it, QRect(x, Top, Width, Height));
        x -= Width + Gap;
    }
}

} // namespace pagekit
