#pragma once

// What assistive technology (a screen reader, through AT-SPI on Linux) finds of this layer's
// controls. Qt's own accessible interfaces would show a picture box as a nameless filler and
// a list's entries without a way to take one, and would list controls that no one sees.
//
// - An option button is a radio button. Qt would call it a check box, since its group, not
//   Qt's own exclusivity (which would also change the Tab order), makes it exclusive.
// - A picture box is a colour swatch with the name, reading and actions its owner gives it.
// - A list box's entries are list items whose default action takes the entry as a double
//   click on it does.
// - A link label is a link that opens with its action, Enter or a click.
// - A client area leaves its hidden controls out of the tree.
// - A value field is read-only text, with its caret and selection.
// - A tool window is a window named by its title.

namespace platform {

// Installs the interfaces above once for the whole program; every control of this layer
// that needs one calls it when it is made.
void InstallAccessibleInterfaces();

} // namespace platform
