#include "settings/inifile.h"

#include <cstring>
#include <limits>

namespace settings {

namespace {

// Lines of a section that is not kept go nowhere.
constexpr std::size_t Elsewhere = std::numeric_limits<std::size_t>::max();
constexpr std::size_t Preamble = 0;
constexpr std::size_t Condition = 1;
constexpr std::size_t Favorite = 2;

// Our keys as the file lists them: sorted within each section, as QSettings wrote them.
constexpr std::array<std::size_t, 3> ConditionOrder = {11, 10, 9}; // char, colornamelist, formtop
constexpr std::size_t FavoriteCount = 9;

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Whether a value means the same on its own line as to a reader that joins lines: every
// double quote closed, no backslash at the end, no control bytes.
bool standsAlone(std::string_view value)
{
    bool quoted = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if ((c < 0x20 && c != '\t') || c == 0x7F)
            return false;
        if (c == '\\') {
            if (++i == value.size())
                return false;
            const auto escaped = static_cast<unsigned char>(value[i]);
            if (escaped < 0x20 || escaped == 0x7F)
                return false;
        } else if (c == '"') {
            quoted = !quoted;
        }
    }
    return !quoted;
}

// "255" for both 255 and "255"; anything else as it stands, for the caller to refuse.
std::string_view unquoted(std::string_view value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        const std::string_view inner = value.substr(1, value.size() - 2);
        if (inner.find_first_of("\"\\") == std::string_view::npos)
            return inner;
    }
    return value;
}

std::size_t ourKey(std::size_t section, std::string_view key)
{
    if (section == Condition) {
        for (std::size_t i = FavoriteCount; i < Schema.size(); ++i) {
            if (Schema[i].key == key)
                return i;
        }
    } else if (section == Favorite && key.size() == 1 && key[0] >= '1' && key[0] <= '9') {
        return static_cast<std::size_t>(key[0] - '1');
    }
    return Elsewhere;
}

} // namespace

IniText::IniText(bool keepOthers)
    : keepOthers_(keepOthers)
    , sections_{{"", ""}, {"condition", ""}, {"favorite", ""}}
{
    sectionIndex_.emplace("condition", Condition);
    sectionIndex_.emplace("favorite", Favorite);
}

void IniText::add(std::string_view bytes)
{
    // Most files hold no carriage return at all; then no line needs looking for one.
    const bool returns = std::memchr(bytes.data(), '\r', bytes.size()) != nullptr;
    while (!bytes.empty()) {
        const void *found = std::memchr(bytes.data(), '\n', bytes.size());
        const std::size_t end = found
            ? static_cast<std::size_t>(static_cast<const char *>(found) - bytes.data())
            : bytes.size();
        const std::string_view piece = bytes.substr(0, end);
        if (pending_.size() + piece.size() > LongestLine)
            overlong_ = true;
        if (!found) {
            if (!overlong_)
                pending_.append(piece);
            return;
        }
        if (overlong_) {
            readAround_ = true;
        } else if (pending_.empty()) {
            line(piece, returns);
        } else {
            pending_.append(piece);
            line(pending_, true);
        }
        pending_.clear();
        overlong_ = false;
        bytes.remove_prefix(end + 1);
    }
}

void IniText::finish()
{
    if (overlong_)
        readAround_ = true;
    else if (!pending_.empty())
        line(pending_, true);
    pending_.clear();
    overlong_ = false;
}

void IniText::line(std::string_view text, bool returns)
{
    // A carriage return ends a line too, as it did for QSettings.
    for (std::size_t cr = returns ? text.find('\r') : std::string_view::npos;
         cr != std::string_view::npos; cr = text.find('\r')) {
        line(text.substr(0, cr), false);
        text.remove_prefix(cr + 1);
    }
    text = trimmed(text);
    // Windows editors start a UTF-8 file with a byte-order mark, and files joined together
    // carry theirs along; left on, one would hide a section header or a key. Taken off
    // every line, it can never reach the start of a file written back either.
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    while (text.starts_with(ByteOrderMark))
        text = trimmed(text.substr(ByteOrderMark.size()));
    if (text.empty() || text.front() == ';' || text.front() == '#')
        return; // QSettings dropped comments when it rewrote a file, and so do we
    if (text.front() == '[') {
        header(text);
    } else if (current_ != Elsewhere && (keepOthers_ || mayBeOurs(text.front()))) {
        keyLine(text);
    } else {
        readAround_ = true; // a line that is not kept
    }
}

bool IniText::mayBeOurs(char first) const
{
    if (current_ == Favorite)
        return first >= '1' && first <= '9';
    return current_ == Condition && (first == 'f' || first == 'c');
}

void IniText::header(std::string_view text)
{
    if (text.back() != ']' || text.find(']') + 1 != text.size()) {
        // A damaged header costs only itself: the lines after it stay where they were.
        readAround_ = true;
        return;
    }
    const std::string name(trimmed(text.substr(1, text.size() - 2)));
    if (const auto known = sectionIndex_.find(name); known != sectionIndex_.end()) {
        current_ = known->second;
    } else if (keepOthers_) {
        current_ = sections_.size();
        sectionIndex_.emplace(name, current_);
        sections_.push_back({name, ""});
    } else {
        current_ = Elsewhere;
    }
}

void IniText::keyLine(std::string_view text)
{
    const std::size_t equals = text.find('=');
    const std::string_view key
        = trimmed(text.substr(0, equals == std::string_view::npos ? 0 : equals));
    const std::size_t ours = ourKey(current_, key);
    if (ours == Elsewhere && !keepOthers_) {
        readAround_ = true; // not kept, so not looked at any closer
        return;
    }
    const std::string_view value = trimmed(text.substr(equals + 1));
    if (key.empty() || !standsAlone(key) || !standsAlone(value)) {
        readAround_ = true;
        return;
    }
    if (ours != Elsewhere)
        ours_[ours] = std::string(unquoted(value));
    else
        sections_[current_].lines.append(text).append(1, '\n');
}

std::string IniText::rewrite(const std::array<std::string, Schema.size()> &texts) const
{
    std::string out = sections_[Preamble].lines;
    const auto sectionStart = [&out](std::string_view name) {
        if (!out.empty())
            out += '\n';
        out.append(1, '[').append(name).append("]\n");
    };
    const auto ourLine = [&out, &texts](std::size_t key) {
        out.append(Schema[key].key).append(1, '=').append(texts[key]).append(1, '\n');
    };

    sectionStart("condition");
    for (std::size_t key : ConditionOrder)
        ourLine(key);
    out += sections_[Condition].lines;
    sectionStart("favorite");
    for (std::size_t key = 0; key < FavoriteCount; ++key)
        ourLine(key);
    out += sections_[Favorite].lines;
    for (std::size_t i = Favorite + 1; i < sections_.size(); ++i) {
        if (sections_[i].lines.empty())
            continue;
        sectionStart(sections_[i].name);
        out += sections_[i].lines;
    }
    return out;
}

} // namespace settings
