#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>

// The program's pictures, drawn in code and made on first use.
namespace Pictures {

// The window icon: a sheet striped in pale rainbow colours with a pipette across it,
// 32 × 32 pixels in 16 colours.
QIcon AppIcon();

// The drag cursor of the ten swatches: a 32 × 32 eyedropper lying diagonally, black
// outline, white body, its tip at the lower left and the hot spot (8, 23) on the tip.
const QCursor &PipetteCursor();

// The favourite marker, 23 × 23 pixels: an outer ring of white (252, 254, 252), an inner
// ring of black (4, 2, 4), transparent inside.
QImage MarkerImage();

} // namespace Pictures
