#include "platform/desktop/uifont.h"

#include <QFontDatabase>
#include <QStringList>

#include <algorithm>

namespace platform {

namespace {

// A Japanese face that is installed, a gothic one where there is one, for a system that
// has none of the Windows UI fonts (Wine, a stripped-down Windows).
QString installedJapaneseFamily()
{
    QString found;
    for (const QString &family : QFontDatabase::families(QFontDatabase::Japanese)) {
        // "@" names the vertical-writing variant of a face.
        if (family.startsWith(QLatin1Char('@')))
            continue;
        if (family.contains(QLatin1String("Gothic"), Qt::CaseInsensitive)
            || family.contains(QStringLiteral("ゴシック")))
            return family;
        if (found.isEmpty())
            found = family;
    }
    return found;
}

} // namespace

QFont UiFont()
{
    QFont font;
    QStringList families = {QStringLiteral("MS UI Gothic"), QStringLiteral("Yu Gothic UI"),
                            QStringLiteral("Meiryo UI")};
    const QStringList installed = QFontDatabase::families();
    const bool anyInstalled
        = std::any_of(families.cbegin(), families.cend(),
                      [&](const QString &f) { return installed.contains(f, Qt::CaseInsensitive); });
    if (!anyInstalled) {
        if (const QString fallback = installedJapaneseFamily(); !fallback.isEmpty())
            families.append(fallback);
    }
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    // 9 points at the 96 dpi the twips layout was drawn for.
    font.setPixelSize(12);
    return font;
}

} // namespace platform
