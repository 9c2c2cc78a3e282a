#pragma once

#include "colorcodes/colorcodes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The twelve values the program keeps between runs, under the application name
// "Chromalynx": the nine favourite colours and the three option check boxes. Every value
// is stored as plain decimal text.
namespace settings {

// The per-user store of the platform, addressed by section and key. A read gives nothing
// for a key that is missing or cannot be read.
class Store {
public:
    virtual ~Store() = default;
    virtual std::optional<std::string> read(std::string_view section, std::string_view key) = 0;
    virtual void write(std::string_view section, std::string_view key, std::string_view text) = 0;
    // Makes the writes durable as one whole; called once after the last write.
    virtual void flush() = 0;
    // False when the last flush could not keep values that differ from what the store held
    // at start-up: only then is anything of the run lost.
    virtual bool keptAll() const { return true; }
};

enum class ValueKind {
    Colour,     // a colour value 0..16777215
    CheckState, // a check box's value: 0 clear, 1 ticked, 2 greyed
};

struct Key {
    std::string_view section;
    std::string_view key;
    std::int32_t defaultValue;
    ValueKind kind;
};

// The schema, in the order of reading at start-up and of writing at shut-down.
inline constexpr std::array<Key, 12> Schema = {{
    {"favorite", "1", colorcodes::White, ValueKind::Colour},
    {"favorite", "2", colorcodes::White, ValueKind::Colour},
    {"favorite", "3", colorcodes::White, ValueKind::Colour},
    {"favorite", "4", colorcodes::White, ValueKind::Colour},
    {"favorite", "5", colorcodes::White, ValueKind::Colour},
    {"favorite", "6", colorcodes::White, ValueKind::Colour},
    {"favorite", "7", colorcodes::White, ValueKind::Colour},
    {"favorite", "8", colorcodes::White, ValueKind::Colour},
    {"favorite", "9", colorcodes::White, ValueKind::Colour},
    {"condition", "formtop", 0, ValueKind::CheckState},
    {"condition", "colornamelist", 0, ValueKind::CheckState},
    {"condition", "char", 0, ValueKind::CheckState},
}};

struct Values {
    std::array<colorcodes::ColorValue, 9> favorites;
    std::int16_t formtop = 0;
    std::int16_t colornamelist = 0;
    std::int16_t chr = 0; // the "char" key

    friend bool operator==(const Values &, const Values &) = default;
};

// What a stored text means for its key: nothing when the text is not a plain decimal
// integer in the key's range, so that the key's default applies as for a missing key.
std::optional<std::int32_t> ParseStoredText(const Key &key, std::string_view text);

// Reads the twelve keys in schema order; a missing or unusable text gives the default.
Values Load(Store &store);

// Writes all twelve keys in schema order, then flushes the store.
void Save(Store &store, const Values &values);

} // namespace settings
