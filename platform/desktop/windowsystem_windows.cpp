#include "platform/desktop/windowsystem.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <windows.h>

namespace platform {

bool SetStaysOnTop(QWidget &window, bool on)
{
    // Qt's own flag first, so that Qt's idea of the window stays in step; on a platform
    // plugin without native windows (the headless tests) it is all there is. Then the
    // window-position request on the window's own handle, so that the window keeps its
    // place and size and is activated, whatever Qt's flag handling did with the frame.
    // SWP_SHOWWINDOW only once Qt has shown the window: earlier it would show it before
    // its place is set, behind Qt's back.
    window.winId();
    QWindow *qtWindow = window.windowHandle();
    if (!qtWindow)
        return false;
    qtWindow->setFlag(Qt::WindowStaysOnTopHint, on);
    if (QGuiApplication::platformName() != QLatin1String("windows"))
        return true;
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
