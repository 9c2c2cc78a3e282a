#pragma once

#include "platform/desktop/screencapture.h"

namespace platform {

// The screen through the desktop portal (org.freedesktop.portal.Screenshot on the
// session bus), the one way a Wayland client may read it.
std::unique_ptr<ScreenCapture> CreatePortalScreenCapture();

} // namespace platform
