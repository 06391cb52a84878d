#include "views/font.h"

#include <QFontDatabase>

namespace views {

namespace {

// The families as asked for, "宋体" first, then CJK faces that stand in for it.
QStringList wantedFamilies()
{
    return {QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
            QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("WenQuanYi Zen Hei"),
            QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC"),
            QStringLiteral("Source Han Sans SC"), QStringLiteral("AR PL UMing CN")};
}

} // namespace

QStringList installedFamilies(const QStringList &wanted)
{
    // Every family of a font that is not installed costs a search of the font configuration, each
    // time a font of another size or style is first drawn: only installed ones are asked for.
    // (QFontDatabase::hasFamily would search the configuration for each missing one: the list of
    // installed families is read instead.)
    const QStringList all = QFontDatabase::families();
    QStringList installed;
    for (const QString &family : wanted)
        if (all.contains(family, Qt::CaseInsensitive))
            installed << family;
    return installed.isEmpty() ? wanted : installed;
}

QStringList songtiFamilies()
{
    static const QStringList families = installedFamilies(wantedFamilies());
    return families;
}

QFont songtiFont(int pointSize)
{
    QFont f;
    f.setFamilies(songtiFamilies());
    f.setPointSize(pointSize);
    return f;
}

} // namespace views
