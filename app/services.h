#pragma once

#include "platform/desktop/services.h"
#include "settings/storedsettings.h"

#include <QString>

namespace platform {
class ScreenCapture;
} // namespace platform

// What the window needs from the desktop, handed in so that tests can answer in place of
// a person and keep their settings apart.
struct Services {
    platform::ColorDialog &colorDialog;
    platform::MessageBox &messageBox;
    platform::Desktop &desktop;
    settings::Store &store;
    QString programFolder; // the folder of the program's own executable, for readme.txt
    platform::ScreenCapture *screenCapture = nullptr; // nullptr where the screen cannot be read
    bool staysOnTop = true; // whether the window system can keep the window above others
};
