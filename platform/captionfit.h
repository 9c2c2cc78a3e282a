#pragma once

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

} // namespace platform
