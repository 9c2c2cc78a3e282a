#include "platform/desktop/windowsystem.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace platform {

bool SetStaysOnTop(QWidget &window, bool on)
{
    // QWidget::setWindowFlag would destroy and recreate a visible native window; the
    // QWindow flag changes the state of the same window in place.
    window.winId();
    QWindow *handle = window.windowHandle();
    if (!handle)
        return false;
    handle->setFlag(Qt::WindowStaysOnTopHint, on);
    if (window.isVisible())
        window.activateWindow();
    return true;
}

bool StaysOnTopAvailable()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace platform
