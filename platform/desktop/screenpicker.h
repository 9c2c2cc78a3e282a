#pragma once

#include <QColor>

#include <functional>
#include <optional>

class QString;
class QWidget;

namespace platform {

class ScreenCapture;

// Freezes every monitor and covers each with a full-screen picture of itself, a crosshair
// on one captured pixel and beside it a magnifier with that pixel's code (codeText). The
// mouse moves the crosshair; the arrow keys move it by one captured pixel, by ten with
// Shift. A left click or Enter takes the pixel, Escape or a right click cancels. Gives the
// captured value of the pixel under the crosshair, or nothing when cancelled or when the
// screen could not be read; owner gets the keyboard back either way. The covers carry
// title, which only task switchers show.
std::optional<QRgb> PickScreenColor(ScreenCapture &screen, const QString &title,
                                    const std::function<QString(QRgb)> &codeText, QWidget *owner);

} // namespace platform
