#include "platform/desktop/windowsystem.h"

#include <QWidget>

#include <windows.h>

namespace platform {

bool SetStaysOnTop(QWidget &window, bool on)
{
    // The window-position request itself on the window's own handle, so that the window
    // keeps its place and size and is activated, whatever Qt's flag handling does with
    // the frame. SWP_SHOWWINDOW only once Qt has shown the window: earlier it would show
    // it before its place is set, behind Qt's back.
    const auto handle = reinterpret_cast<HWND>(window.winId());
    const UINT show = window.isVisible() ? SWP_SHOWWINDOW : SWP_NOACTIVATE;
    return ::SetWindowPos(handle, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                          SWP_NOSIZE | SWP_NOMOVE | show)
        != 0;
}

bool StaysOnTopAvailable()
{
    return true;
}

} // namespace platform
