#pragma once

#include "settings/storedsettings.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The text of the settings file: INI sections of "key=value" lines, as QSettings wrote it
// in earlier versions ("[condition]" before "[favorite]", keys sorted, a blank line between
// sections). A file saved by a Windows editor (a UTF-8 byte-order mark, CRLF line ends)
// reads the same; what is written has neither. Every line stands alone: a stray double
// quote or a trailing backslash costs that line only, never the lines after it, and memory
// stays bounded whatever the bytes.
namespace settings {

// Files up to this size keep the lines of other programs and versions when rewritten;
// larger ones are read for our own keys only, and rewritten with them alone.
inline constexpr std::size_t OthersKeptUpTo = std::size_t{1} << 20;

// A line longer than this cannot be one of ours; it is skipped as damaged.
inline constexpr std::size_t LongestLine = std::size_t{64} << 10;

class IniText {
public:
    // keepOthers: whether the lines that are not ours are kept for rewrite().
    explicit IniText(bool keepOthers);

    // The file's bytes, in pieces of any size, then finish() once.
    void add(std::string_view bytes);
    void finish();

    // The text of Schema[key] as the file holds it (enclosing double quotes taken off), or
    // nothing when the key is missing or its line is damaged.
    const std::optional<std::string> &text(std::size_t key) const { return ours_[key]; }

    // True when some line could not be read as it stands, or lines of others were left out:
    // rewriting would lose something, so the old file is worth keeping.
    bool readAround() const { return readAround_; }

    // The file with our twelve texts (in Schema order) in place of what it held, the kept
    // lines of others after them, section by section.
    std::string rewrite(const std::array<std::string, Schema.size()> &texts) const;

private:
    struct Section {
        std::string name;
        std::string lines; // the kept lines of others, each ending in '\n'
    };

    void line(std::string_view text, bool returns);
    // Whether a line starting so could be one of our keys in the current section.
    bool mayBeOurs(char first) const;
    void header(std::string_view text);
    void keyLine(std::string_view text);

    bool keepOthers_;
    bool readAround_ = false;
    std::string pending_; // the unfinished last line of the bytes added so far
    bool overlong_ = false;
    std::array<std::optional<std::string>, Schema.size()> ours_;
    // sections_[0] holds the lines before the first header, [1] and [2] are ours.
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_;
    std::size_t current_ = 0;
};

} // namespace settings
