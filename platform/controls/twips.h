#pragma once

#include <QMargins>
#include <QRect>

// Layout is given in twips (1/1440 inch). Qt's device-independent pixels are 1/96 inch,
// so one pixel is 15 twips on every screen and Qt scales for the screen's density.
namespace platform {

constexpr int TwipsPerPixel = 15;

constexpr int Twips(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

constexpr int ToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}

constexpr QRect TwipsRect(int left, int top, int width, int height)
{
    return {Twips(left), Twips(top), Twips(width), Twips(height)};
}

} // namespace platform
