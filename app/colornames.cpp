// The colour-name lists and the list column.

#include "app/chromalynx.h"

#include "app/texts.h"
#include "platform/controls/checkbox.h"
#include "platform/controls/listbox.h"

#include <QAction>

using colorcodes::Mid;

void Chromalynx::ColorName1_DblClick()
{
    // "#RRGGBB name": the digits are characters 2 to 7.
    const std::string entry = Texts::Latin1(ColorName1->text());
    SetComponentsFromHex(Mid(entry, 2, 6));
}

void Chromalynx::ColorName2_Click()
{
    // "name #RRGGBB": the entry ends with "#" and the digits.
    const std::string entry = Texts::Latin1(ColorName2->text());
    const std::string_view code
        = std::string_view(entry).substr(entry.size() > 7 ? entry.size() - 7 : 0);
    SetComponentsFromHex(Mid(code, 2, 6));
}

void Chromalynx::RGB_Sort_Click()
{
    ColorName1->bringToFront();
}

void Chromalynx::Arphabet_Sort_Click()
{
    ColorName2->bringToFront();
}

void Chromalynx::CheckColorName_Click()
{
    switch (CheckColorName->value()) {
    case 1:
        setOuterWidth(8055);
        display_colorname->setText(QStringLiteral("色名リスト非表示"));
        break;
    case 0:
        setOuterWidth(4860);
        display_colorname->setText(QStringLiteral("色名リスト表示"));
        break;
    default:
        break;
    }
}

void Chromalynx::display_colorname_Click()
{
    switch (CheckColorName->value()) {
    case 0:
        CheckColorName->setValue(1);
        break;
    case 1:
        CheckColorName->setValue(0);
        break;
    default:
        return;
    }
    CheckColorName_Click();
}
