#pragma once

#include "colorcodes/colorcodes.h"

#include <cstdint>

class Chromalynx;
class QWidget;

namespace platform {
class ListBox;
class PictureBox;
} // namespace platform

// The procedures the handlers share.
namespace StandardFunctions {

using colorcodes::HexToLong;
using colorcodes::SplitColor;

// The current colour: R + 256·G + 65536·B from the three sliders.
colorcodes::ColorValue SliderColor(const Chromalynx &form);

// Lets the list scroll sideways to its widest entry plus 5 pixels (5 for an empty list).
void FitListHorizontalExtent(platform::ListBox &list);

// Append the 140 named colours: "#RRGGBB name" in code order, "name #RRGGBB" in name order.
void FillColorNamesByCode(platform::ListBox &list);
void FillColorNamesByName(platform::ListBox &list);

// Puts the marker on the given favourite and takes it off the others; the preview
// swatch is never marked.
void MarkFavorite(Chromalynx &form, platform::PictureBox *swatch);

// Mode 1 puts the window into the always-on-top band, 0 takes it out; any other mode
// makes no request and gives 0. Otherwise non-zero when the request could be made.
std::int32_t SetFormTopmost(QWidget &window, std::int16_t mode);

} // namespace StandardFunctions
