#include "platform/desktop/screencapture.h"

#ifdef CHROMALYNX_SCREENSHOT_PORTAL
#include "platform/desktop/portalcapture.h"
#endif

#include <QGuiApplication>

namespace platform {

std::unique_ptr<ScreenCapture> CreateScreenCapture()
{
    const QString platform = QGuiApplication::platformName();
#ifdef CHROMALYNX_SCREENSHOT_PORTAL
    // A Wayland client cannot read the screen itself; under XWayland an X11 grab would see
    // only the other X11 windows, so the portal is preferred there too.
    if (platform.startsWith(QLatin1String("wayland"))
        || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")) {
        std::unique_ptr<ScreenCapture> portal = CreatePortalScreenCapture();
        if (portal->available())
            return portal;
    }
#endif
    if (platform == QLatin1String("xcb") || platform == QLatin1String("cocoa"))
        return std::make_unique<QtScreenCapture>();
    return nullptr;
}

} // namespace platform
