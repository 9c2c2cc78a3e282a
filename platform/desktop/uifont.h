#pragma once

#include <QFont>

namespace platform {

// The font of every caption, label, list and box: a Japanese gothic face at 12 pixels, the
// size and proportions of the 9-point UI font that the fixed twips layout was drawn for.
// Its size is in Qt's device-independent pixels, so it follows the display scale exactly as
// the layout does and ignores a font DPI setting that the layout ignores too. The family is
// named outright, so that a desktop whose default font is another does not change the
// captions' widths.
QFont UiFont();

} // namespace platform
