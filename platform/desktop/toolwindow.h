#pragma once

#include <QWidget>

namespace platform {

// A tool window of the main window (Qt::Tool), which assistive technology finds as a
// window with its title, as it does the main window; Qt would show a plain widget window
// as a nameless filler that a screen reader does not announce.
class ToolWindow : public QWidget {
    Q_OBJECT

public:
    explicit ToolWindow(QWidget *owner);
};

// Puts a window into or out of the window manager's always-on-top band in place, without
// activating it (on X11 the _NET_WM_STATE_ABOVE state).
void SetKeptAbove(QWidget &window, bool on);

// Whether the window is in that band as the program last asked.
bool IsKeptAbove(const QWidget &window);

} // namespace platform
