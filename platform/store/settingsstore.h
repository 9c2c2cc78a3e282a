#pragma once

#include "settings/storedsettings.h"

#include <memory>

namespace platform {

// The per-user settings store of the platform for the application "Chromalynx", read once
// when it is opened:
// - Windows: the registry key that the platform's per-user application settings use,
//   HKEY_CURRENT_USER\Software\VB and VBA Program Settings\Chromalynx (SettingsRegistry);
// - elsewhere: the INI file $XDG_CONFIG_HOME/Chromalynx/Chromalynx.ini (~/.config by
//   default), read and written by SettingsFile.
std::unique_ptr<settings::Store> OpenSettingsStore();

} // namespace platform
