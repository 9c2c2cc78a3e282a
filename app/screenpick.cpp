// Taking a colour from anywhere on the screen.

#include "app/chromalynx.h"

#include "app/standardfunctions.h"
#include "app/texts.h"
#include "platform/controls/optionbutton.h"
#include "platform/desktop/screencapture.h"
#include "platform/desktop/screenpicker.h"

#include <QAction>

using namespace StandardFunctions;

void Chromalynx::display_pick_Click()
{
    platform::ScreenCapture *screen = services_.screenCapture;
    if (!screen || !screen->available())
        return;

    // The magnifier speaks the notation the code field will show once the colour is taken.
    const auto codeText = [this](QRgb pixel) {
        const colorcodes::ColorValue value
            = colorcodes::MakeColor(qRed(pixel), qGreen(pixel), qBlue(pixel));
        if (Option_VB->value())
            return QString::fromStdString(SplitColor(value).VBCode);
        if (Option_HTML->value())
            return QString::fromStdString(SplitColor(value).HTMLCode);
        if (Option_DEC->value())
            return Texts::Dec(value);
        return QString();
    };
    const std::optional<QRgb> picked
        = platform::PickScreenColor(*screen, display_pick->text(), codeText, this);
    if (!picked)
        return;
    SetComponents(qRed(*picked), qGreen(*picked), qBlue(*picked));
}
