// The nine favourite swatches.

#include "app/chromalynx.h"

#include "app/standardfunctions.h"
#include "platform/controls/picturebox.h"

using namespace StandardFunctions;

void Chromalynx::favorite_add_Click(int Index)
{
    MarkFavorite(*this, FavoriteColor[Index]);
    FavoriteColor[Index]->setBackColor(Color->backColor());
}

void Chromalynx::favorite_display_Click(int Index)
{
    FavoriteColor_DblClick(Index);
}

void Chromalynx::FavoriteColor_DblClick(int Index)
{
    const colorcodes::ColorCodes parts = SplitColor(FavoriteColor[Index]->backColor());
    SetComponents(parts.R, parts.G, parts.B);
    MarkFavorite(*this, FavoriteColor[Index]);
}

void Chromalynx::FavoriteColor_DragDrop(int Index, platform::PictureBox *Source)
{
    FavoriteColor[Index]->setBackColor(Source->backColor());
    MarkFavorite(*this, FavoriteColor[Index]);
}

void Chromalynx::Color_DragDrop(platform::PictureBox *Source)
{
    Color->setBackColor(Source->backColor());
    const colorcodes::ColorCodes parts = SplitColor(Source->backColor());
    SetComponents(parts.R, parts.G, parts.B);
    MarkFavorite(*this, Source);
}

void Chromalynx::favorite_clear_Click()
{
    FavoriteClear_Click();
}

void Chromalynx::FavoriteClear_Click()
{
    if (!services_.messageBox.confirm(this, QStringLiteral("お気に入りをすべて消去します"),
                                      QStringLiteral("確認")))
        return;
    for (platform::PictureBox *swatch : FavoriteColor) {
        swatch->setPicture(Picture2->picture());
        swatch->setBackColor(colorcodes::White);
    }
    FavoriteColor[0]->setPicture(Picture1->picture());
}
