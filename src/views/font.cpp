#include "views/font.h"

namespace views {

QStringList songtiFamilies()
{
    return {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
            QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("WenQuanYi Zen Hei"),
            QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC"),
            QStringLiteral("Source Han Sans SC"), QStringLiteral("AR PL UMing CN")};
}

QFont songtiFont(int pointSize)
{
    QFont f;
    f.setFamilies(songtiFamilies());
    f.setPointSize(pointSize);
    return f;
}

} // namespace views
