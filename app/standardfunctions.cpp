#include "app/standardfunctions.h"

#include "app/chromalynx.h"
#include "colorcodes/namedcolors.h"
#include "platform/controls/listbox.h"
#include "platform/controls/picturebox.h"
#include "platform/controls/scrollbar.h"
#include "platform/desktop/windowsystem.h"

namespace StandardFunctions {

colorcodes::ColorValue SliderColor(const Chromalynx &form)
{
    return colorcodes::MakeColor(form.RSlider->value(), form.GSlider->value(),
                                 form.BSlider->value());
}

void FitListHorizontalExtent(platform::ListBox &list)
{
    int widest = 0;
    for (int i = 0; i < list.count(); ++i)
        widest = std::max(widest, list.entryWidth(i));
    list.setHorizontalExtent(widest + 5);
}

void FillColorNamesByCode(platform::ListBox &list)
{
    for (std::size_t i = 0; i < colorcodes::NamedColorCount; ++i)
        list.addItem(QString::fromStdString(CodeOrderEntry(colorcodes::NamedColorByCode(i))));
}

void FillColorNamesByName(platform::ListBox &list)
{
    for (std::size_t i = 0; i < colorcodes::NamedColorCount; ++i)
        list.addItem(QString::fromStdString(NameOrderEntry(colorcodes::NamedColorByName(i))));
}

void MarkFavorite(Chromalynx &form, platform::PictureBox *swatch)
{
    if (swatch == form.Color)
        return;
    for (platform::PictureBox *favorite : form.FavoriteColor)
        favorite->setPicture(form.Picture2->picture());
    swatch->setPicture(form.Picture1->picture());
}

std::int32_t SetFormTopmost(QWidget &window, std::int16_t mode)
{
    if (mode != 0 && mode != 1)
        return 0;
    return platform::SetStaysOnTop(window, mode == 1) ? 1 : 0;
}

} // namespace StandardFunctions
