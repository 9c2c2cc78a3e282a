#pragma once

#include "settings/storedsettings.h"

#include <QSettings>

namespace platform {

// The per-user settings store of the platform for the application "Chromalynx": an INI
// file in the user's configuration folder (on Linux $XDG_CONFIG_HOME/Chromalynx/
// Chromalynx.ini), the registry on Windows, the preferences on macOS. QSettings writes the
// file whole through a temporary file renamed over the old one, so a write that fails or
// is killed halfway leaves the last good file in place.
class SettingsStore final : public settings::Store {
public:
    SettingsStore();
    // The same store kept in the given INI file.
    explicit SettingsStore(const QString &iniFile);

    std::optional<std::string> read(std::string_view section, std::string_view key) override;
    void write(std::string_view section, std::string_view key, std::string_view text) override;
    void flush() override;

    QString fileName() const { return store_.fileName(); }

private:
    void keepDamagedFile();

    QSettings store_;
};

} // namespace platform
