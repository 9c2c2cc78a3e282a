#pragma once

#include "settings/inifile.h"
#include "settings/storedsettings.h"

#include <array>
#include <string>

namespace platform {

// The settings kept in one INI file (POSIX), handled so that nothing of the user's comes to
// harm whatever the file holds or is:
// - Reading is bounded: at most LongestScan bytes, in small pieces; the lines of others are
//   kept only from a file of at most settings::OthersKeptUpTo bytes.
// - Only a regular file, or a name that does not exist yet, is ever replaced. A symbolic
//   link is written through when its final target is one of those, in a folder the user
//   owns; a device, FIFO, socket or folder is never touched, and nothing is written then.
// - A write goes to a temporary file "<name>.XXXXXX" beside the file, is synced and renamed
//   over it, under the lock file "<name>.lock": a kill at any moment leaves the old file or
//   the new one, whole. Opening the store removes such leftovers of a killed run.
// - A file that had to be read around (damaged lines, or others' keys left out) is kept as
//   "<name>.damaged" before it is replaced: a hard link, so even a huge one costs nothing,
//   and only the last such file is kept.
class SettingsFile final : public settings::Store {
public:
    // The largest part of a file that is read.
    static constexpr std::size_t LongestScan = std::size_t{64} << 20;

    // Reads the file once and removes the leftovers of killed runs beside it.
    explicit SettingsFile(std::string path);

    std::optional<std::string> read(std::string_view section, std::string_view key) override;
    void write(std::string_view section, std::string_view key, std::string_view text) override;
    void flush() override;
    bool keptAll() const override { return keptAll_; }

    const std::string &path() const { return path_; }

private:
    std::string path_;
    // What each of our keys stood for at start-up, as the text a write would give it.
    std::array<std::string, settings::Schema.size()> held_;
    std::array<std::optional<std::string>, settings::Schema.size()> found_;
    std::array<std::string, settings::Schema.size()> written_;
    bool keptAll_ = true;
};

} // namespace platform
