#pragma once

#include "settings/heldtexts.h"
#include "settings/inifile.h"

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
class SettingsFile final : public settings::HeldTexts {
public:
    // The largest part of a file that is read.
    static constexpr std::size_t LongestScan = std::size_t{64} << 20;

    // Reads the file once and removes the leftovers of killed runs beside it.
    explicit SettingsFile(std::string path);

    void flush() override;

    const std::string &path() const { return path_; }

private:
    std::string path_;
};

} // namespace platform
