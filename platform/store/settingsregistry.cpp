#include "platform/store/settingsregistry.h"

#include <windows.h>

#include <utility>

namespace platform {

namespace {

using settings::Schema;

// An open registry key, closed when it goes out of scope.
class Key {
public:
    Key() = default;
    Key(const Key &) = delete;
    Key &operator=(const Key &) = delete;
    ~Key()
    {
        if (key_)
            ::RegCloseKey(key_);
    }
    HKEY *out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// Our names are ASCII, so a widening of each byte is their UTF-16 form.
std::wstring widened(std::string_view text)
{
    return std::wstring(text.begin(), text.end());
}

std::wstring sectionPath(const std::wstring &path, std::string_view section)
{
    return path + L'\\' + widened(section);
}

// The text of a string value, or nothing when the value is missing, of another type, too
// long or not ASCII.
std::optional<std::string> readValue(HKEY section, std::string_view name)
{
    wchar_t buffer[SettingsRegistry::LongestText + 1] = {};
    DWORD type = REG_NONE;
    DWORD bytes = sizeof buffer;
    const LSTATUS status = ::RegQueryValueExW(section, widened(name).c_str(), nullptr, &type,
                                              reinterpret_cast<BYTE *>(buffer), &bytes);
    if (status != ERROR_SUCCESS || type != REG_SZ || bytes % sizeof(wchar_t) != 0)
        return std::nullopt;
    // The stored data need not end in a null, and may hold more than one.
    std::size_t length = bytes / sizeof(wchar_t);
    while (length > 0 && buffer[length - 1] == L'\0')
        --length;
    if (length > SettingsRegistry::LongestText)
        return std::nullopt;
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        if (buffer[i] == L'\0' || buffer[i] > 0x7f)
            return std::nullopt;
        text += static_cast<char>(buffer[i]);
    }
    return text;
}

bool writeValue(HKEY section, std::string_view name, std::string_view text)
{
    const std::wstring data = widened(text);
    const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(section, widened(name).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE *>(data.c_str()), bytes)
        == ERROR_SUCCESS;
}

} // namespace

SettingsRegistry::SettingsRegistry(std::wstring path)
    : path_(std::move(path))
{
    std::size_t i = 0;
    while (i < Schema.size()) {
        const std::string_view section = Schema[i].section;
        Key key;
        const bool opened = ::RegOpenKeyExW(HKEY_CURRENT_USER, sectionPath(path_, section).c_str(),
                                            0, KEY_QUERY_VALUE, key.out())
            == ERROR_SUCCESS;
        for (; i < Schema.size() && Schema[i].section == section; ++i) {
            if (opened)
                found(i, readValue(key.get(), Schema[i].key));
        }
    }
}

void SettingsRegistry::flush()
{
    bool lost = false;
    std::size_t i = 0;
    while (i < Schema.size()) {
        // The values of one section, in schema order, under one opening of its key.
        const std::string_view section = Schema[i].section;
        Key key;
        const bool opened
            = ::RegCreateKeyExW(HKEY_CURRENT_USER, sectionPath(path_, section).c_str(), 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.out(), nullptr)
            == ERROR_SUCCESS;
        for (; i < Schema.size() && Schema[i].section == section; ++i) {
            const bool kept = opened && writeValue(key.get(), Schema[i].key, written()[i]);
            if (!kept && changed(i))
                lost = true;
        }
    }
    keptAll_ = !lost;
}

} // namespace platform
