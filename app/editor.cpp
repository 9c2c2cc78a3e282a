// The component rows, the code field with its notation, the colour dialog and copy.

#include "app/chromalynx.h"

#include "app/standardfunctions.h"
#include "app/texts.h"
#include "platform/controls/optionbutton.h"
#include "platform/controls/picturebox.h"
#include "platform/controls/scrollbar.h"
#include "platform/controls/textbox.h"
#include "platform/desktop/windowsystem.h"

using namespace StandardFunctions;
using colorcodes::Mid;

namespace {

bool isDigitKey(int k)
{
    return k >= '0' && k <= '9';
}

bool isHexKey(int k)
{
    return isDigitKey(k) || (k >= 'A' && k <= 'F') || (k >= 'a' && k <= 'f');
}

constexpr int Backspace = 8;
constexpr int Enter = 13;

} // namespace

// --- Sliders ---------------------------------------------------------------------------

void Chromalynx::ComponentSlider_Change(platform::ScrollBar &slider, platform::TextBox &field)
{
    field.setText(Texts::Dec(slider.value()));
}

void Chromalynx::RSlider_Change()
{
    ComponentSlider_Change(*RSlider, *RText);
}
void Chromalynx::RSlider_Scroll()
{
    ComponentSlider_Change(*RSlider, *RText);
}
void Chromalynx::GSlider_Change()
{
    ComponentSlider_Change(*GSlider, *GText);
}
void Chromalynx::GSlider_Scroll()
{
    ComponentSlider_Change(*GSlider, *GText);
}
void Chromalynx::BSlider_Change()
{
    ComponentSlider_Change(*BSlider, *BText);
}
void Chromalynx::BSlider_Scroll()
{
    ComponentSlider_Change(*BSlider, *BText);
}

// --- Number fields ---------------------------------------------------------------------

void Chromalynx::ComponentText_Change(platform::TextBox &field, platform::ScrollBar &slider)
{
    // Each write below runs this handler again, nested, and that run completes the whole
    // update before this one goes on.
    const std::string text = Texts::Latin1(field.text());
    const int value = colorcodes::ComponentTextValue(text);
    if (text.empty())
        field.setText(QStringLiteral("0"));
    else if (value > 255)
        field.setText(QStringLiteral("255"));
    else if (!colorcodes::IsDigitRun(text))
        field.setText(Texts::Dec(value)); // pasted text: show the number the slider takes

    slider.setValue(std::min(colorcodes::ComponentTextValue(Texts::Latin1(field.text())), 255));

    const colorcodes::ColorValue current = SliderColor(*this);
    if (Option_VB->value())
        RGBCode->setText(QString::fromStdString(SplitColor(current).VBCode));
    else if (Option_HTML->value())
        RGBCode->setText(QString::fromStdString(SplitColor(current).HTMLCode));
    else if (Option_DEC->value())
        RGBCode->setText(Texts::Dec(current));

    Color->setBackColor(current);
}

void Chromalynx::RText_Change()
{
    ComponentText_Change(*RText, *RSlider);
}
void Chromalynx::GText_Change()
{
    ComponentText_Change(*GText, *GSlider);
}
void Chromalynx::BText_Change()
{
    ComponentText_Change(*BText, *BSlider);
}

void Chromalynx::RText_KeyPress(int &KeyAscii)
{
    if (KeyAscii != Backspace && !isDigitKey(KeyAscii))
        KeyAscii = 0;
}

void Chromalynx::GText_KeyPress(int &KeyAscii)
{
    RText_KeyPress(KeyAscii);
}
void Chromalynx::BText_KeyPress(int &KeyAscii)
{
    RText_KeyPress(KeyAscii);
}

void Chromalynx::RText_GotFocus()
{
    RText->setSelLength(static_cast<int>(RText->text().size()));
}
void Chromalynx::GText_GotFocus()
{
    GText->setSelLength(static_cast<int>(GText->text().size()));
}
void Chromalynx::BText_GotFocus()
{
    BText->setSelLength(static_cast<int>(BText->text().size()));
}

void Chromalynx::SetComponents(std::int32_t red, std::int32_t green, std::int32_t blue)
{
    RText->setText(Texts::Dec(red));
    GText->setText(Texts::Dec(green));
    BText->setText(Texts::Dec(blue));
}

void Chromalynx::SetComponentsFromHex(std::string_view rrggbb)
{
    SetComponents(HexToLong(Mid(rrggbb, 1, 2)), HexToLong(Mid(rrggbb, 3, 2)),
                  HexToLong(Mid(rrggbb, 5, 2)));
}

// --- Code field and notation -----------------------------------------------------------

void Chromalynx::Option_HTML_Click()
{
    RText_Change();
}
void Chromalynx::Option_VB_Click()
{
    RText_Change();
}
void Chromalynx::Option_DEC_Click()
{
    RText_Change();
}

void Chromalynx::RGBCode_GotFocus()
{
    RGBCode->setText(QStringLiteral("#"));
    RGBCode->setSelStart(1);
}

void Chromalynx::RGBCode_KeyPress(int &KeyAscii)
{
    if (!isHexKey(KeyAscii) && KeyAscii != Backspace && KeyAscii != Enter)
        KeyAscii = 0;
    if (KeyAscii != Enter)
        return;

    SetComponentsFromHex(colorcodes::NormalizeCodeEntry(Texts::Latin1(RGBCode->text())));
}

// --- Colour dialog and copy ------------------------------------------------------------

void Chromalynx::SelColor_Click()
{
    // How the dialog was closed is not looked at: after Cancel its colour is still the one
    // last taken with OK, and that becomes the current colour all the same.
    services_.colorDialog.ShowColor(this);
    const colorcodes::ColorValue chosen = services_.colorDialog.Color();
    const colorcodes::ColorCodes parts = SplitColor(chosen);
    Color->setBackColor(chosen);
    SetComponents(parts.R, parts.G, parts.B);
}

void Chromalynx::CodeCopy_Click()
{
    platform::CopyToClipboard(RGBCode->text());
}
