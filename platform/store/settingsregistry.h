#pragma once

#include "settings/heldtexts.h"

#include <string>

namespace platform {

// The settings kept in the registry as the platform's per-user application settings keep
// them: under HKEY_CURRENT_USER\<path>, one subkey per section, one string value (REG_SZ)
// per key, named after the key and holding its decimal text. Handled so that nothing of
// the user's comes to harm whatever the registry holds:
// - The values are read once, when the store is opened, and written once, at flush;
//   nothing is ever deleted, and only the program's own twelve values are ever written.
// - A value that is not a string, or longer than LongestText characters, or not ASCII,
//   reads as missing, so that it costs only its own key.
// - A write that fails is noted: keptAll() then tells whether a value of the run that
//   differs from what the registry held was lost.
class SettingsRegistry final : public settings::HeldTexts {
public:
    // Longer than any text of ours, with room for leading zeros.
    static constexpr std::size_t LongestText = 32;

    // The key that the platform's GetSetting and SaveSetting use for the program.
    static constexpr std::wstring_view ProgramKey
        = L"Software\\VB and VBA Program Settings\\Chromalynx";

    // Reads the values under HKEY_CURRENT_USER\<path>; creates nothing.
    explicit SettingsRegistry(std::wstring path = std::wstring(ProgramKey));

    void flush() override;

    const std::wstring &path() const { return path_; }

private:
    std::wstring path_;
};

} // namespace platform
