#include "platform/desktop/uifont.h"

#include <QStringList>

namespace platform {

QFont UiFont()
{
    QFont font;
#if defined(Q_OS_MACOS)
    font.setFamilies(
        {QStringLiteral("Hiragino Sans"), QStringLiteral("Hiragino Kaku Gothic ProN")});
#else
    // VL Gothic has the ascent, descent and half-width Latin of that UI font; the others are
    // near enough where it is missing.
    font.setFamilies({QStringLiteral("VL Gothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
#endif
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    return font;
}

} // namespace platform
