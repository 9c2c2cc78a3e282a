#pragma once

class QWidget;

namespace platform {

// Puts a window into or out of the window manager's always-on-top band in place, without
// activating it (on X11 the _NET_WM_STATE_ABOVE state).
void SetKeptAbove(QWidget &window, bool on);

// Whether the window is in that band as the program last asked.
bool IsKeptAbove(const QWidget &window);

} // namespace platform
