// Start-up and shut-down.

#include "app/chromalynx.h"

#include "app/standardfunctions.h"
#include "platform/controls/checkbox.h"
#include "platform/controls/listbox.h"
#include "platform/controls/optionbutton.h"
#include "platform/controls/picturebox.h"
#include "platform/controls/textbox.h"
#include "platform/controls/twips.h"

#include <QPushButton>

using namespace StandardFunctions;

void Chromalynx::Form_Load()
{
    FillColorNamesByCode(*ColorName1);
    FillColorNamesByName(*ColorName2);
    setOuterHeight(3105);
    setOuterWidth(4830);
    ColorName1->move(platform::Twips(4860), platform::Twips(15));
    ColorName2->move(platform::Twips(4860), platform::Twips(15));
    ColorName1->bringToFront();
    RGB_Sort->setValue(true);
    RText->setText(QStringLiteral("255"));
    GText->setText(QStringLiteral("255"));
    BText->setText(QStringLiteral("255"));
    CheckFormtop->setValue(0);
    FavoriteColor[0]->setPicture(Picture1->picture());
    Option_HTML->setValue(true);
    FitListHorizontalExtent(*ColorName1);
    FitListHorizontalExtent(*ColorName2);

    const settings::Values stored = settings::Load(services_.store);
    for (int i = 0; i < 9; ++i)
        FavoriteColor[i]->setBackColor(stored.favorites[i]);
    CheckFormtop->setValue(stored.formtop);
    CheckColorName->setValue(stored.colornamelist);
    CheckChar->setValue(stored.chr);

    // The first focus goes to Copy: on the code field it would replace "#FFFFFF" with "#".
    CodeCopy->setFocus();
}

void Chromalynx::Form_Unload()
{
    settings::Values values{};
    for (int i = 0; i < 9; ++i)
        values.favorites[i] = FavoriteColor[i]->backColor();
    values.formtop = static_cast<std::int16_t>(CheckFormtop->value());
    values.colornamelist = static_cast<std::int16_t>(CheckColorName->value());
    values.chr = static_cast<std::int16_t>(CheckChar->value());
    settings::Save(services_.store, values);
}

void Chromalynx::file_close_Click()
{
    close();
}
