#pragma once

#include <QtGlobal>

class QFont;
class QString;
class QWidget;

namespace platform {

// The controls of a fixed layout keep their sizes whatever font the desktop gives; their
// captions must still show whole. FitCaptions gives each label, button, check box and
// option button among the container's descendants a font whose text fits the room the
// control leaves it: beside the indicator of a check or option box, and short of a visible
// neighbour that the control's own box overlaps. A caption that is too wide is narrowed
// (the face's width condensed), one that is too tall made smaller; one that fits keeps the
// font it has.
void FitCaptions(QWidget *container);

// The height, in pixels, that the text takes from its top: down to the font's descent or,
// where the glyphs reach lower than the font declares, to their ink. Measured at the
// display's scale, where a scaled font may round and reach differently than at 1:1.
qreal TextHeight(const QFont &font, const QString &text, qreal scale);

} // namespace platform
