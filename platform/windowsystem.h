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

// Puts text on the system clipboard as plain text.
void CopyToClipboard(const QString &text);

} // namespace platform
