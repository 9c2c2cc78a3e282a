#pragma once

class QString;
class QWidget;

namespace platform {

// Puts a top-level window into or out of the window manager's always-on-top band without
// moving, resizing or unmapping it (on X11 the _NET_WM_STATE_ABOVE state), and activates
// it when it is shown. Gives false when the window system cannot be asked.
bool SetStaysOnTop(QWidget &window, bool on);

// Whether the window system lets a program keep its window above others. Wayland has no
// protocol for that: the compositor alone decides how windows stack.
bool StaysOnTopAvailable();

// Opens a window (a dialog with an owner) with its frame centred on its owner's frame.
// Qt's own placement centres the client area, since the window manager tells the frame
// only once the window is mapped; so the window is placed again when its frame becomes
// known, and left where it is from then on.
void CentreOnOwner(QWidget &window);

// Puts text on the system clipboard as plain text.
void CopyToClipboard(const QString &text);

} // namespace platform
