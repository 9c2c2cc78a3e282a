#include "platform/desktop/screencapture.h"

#include <QGuiApplication>

namespace platform {

std::unique_ptr<ScreenCapture> CreateScreenCapture()
{
    // The windows plugin grabs the whole virtual screen through GDI; the minimal plugin
    // that tests use has no screen to read.
    if (QGuiApplication::platformName() == QLatin1String("windows"))
        return std::make_unique<QtScreenCapture>();
    return nullptr;
}

} // namespace platform
