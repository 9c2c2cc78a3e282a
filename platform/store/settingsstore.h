#pragma once

#include "settings/storedsettings.h"

#include <QString>

#include <memory>

namespace platform {

// The per-user settings store of the platform for the application "Chromalynx": the
// registry on Windows, the preferences on macOS (both through QSettings), elsewhere the
// INI file $XDG_CONFIG_HOME/Chromalynx/Chromalynx.ini (~/.config by default), read and
// written by SettingsFile.
class SettingsStore final : public settings::Store {
public:
    SettingsStore();
    // The same store kept in the given INI file.
    explicit SettingsStore(const QString &iniFile);
    ~SettingsStore() override;

    std::optional<std::string> read(std::string_view section, std::string_view key) override;
    void write(std::string_view section, std::string_view key, std::string_view text) override;
    void flush() override;
    bool keptAll() const override;

    QString fileName() const { return fileName_; }

private:
    std::unique_ptr<settings::Store> store_;
    QString fileName_;
};

} // namespace platform
