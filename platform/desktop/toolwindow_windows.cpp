#include "platform/desktop/toolwindow.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <windows.h>

namespace platform {

void SetKeptAbove(QWidget &window, bool on)
{
    // As for the main window: Qt's flag keeps Qt in step, the window-position request
    // puts the native window in the band in place, here without activating it.
    window.winId();
    if (QWindow *qtWindow = window.windowHandle())
        qtWindow->setFlag(Qt::WindowStaysOnTopHint, on);
    if (QGuiApplication::platformName() == QLatin1String("windows"))
        ::SetWindowPos(reinterpret_cast<HWND>(window.winId()), on ? HWND_TOPMOST : HWND_NOTOPMOST,
                       0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

bool IsKeptAbove(const QWidget &window)
{
    const QWindow *qtWindow = window.windowHandle();
    return qtWindow && qtWindow->flags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace platform
