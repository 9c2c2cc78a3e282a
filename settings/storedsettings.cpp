#include "settings/storedsettings.h"

#include <charconv>

namespace settings {

namespace {

constexpr std::size_t FavoriteCount = 9;

bool isPlainDecimal(std::string_view text)
{
    if (!text.empty() && text.front() == '-')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

std::optional<std::int32_t> ParseStoredText(const Key &key, std::string_view text)
{
    if (!isPlainDecimal(text))
        return std::nullopt;
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt; // too long to be any value of ours
    const std::int64_t highest = key.kind == ValueKind::Colour ? colorcodes::White : 2;
    if (value < 0 || value > highest)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

Values Load(Store &store)
{
    std::array<std::int32_t, Schema.size()> read{};
    for (std::size_t i = 0; i < Schema.size(); ++i) {
        const Key &key = Schema[i];
        std::optional<std::int32_t> value;
        if (const auto text = store.read(key.section, key.key))
            value = ParseStoredText(key, *text);
        read[i] = value.value_or(key.defaultValue);
    }

    Values values{};
    for (std::size_t i = 0; i < FavoriteCount; ++i)
        values.favorites[i] = read[i];
    values.formtop = static_cast<std::int16_t>(read[9]);
    values.colornamelist = static_cast<std::int16_t>(read[10]);
    values.chr = static_cast<std::int16_t>(read[11]);
    return values;
}

void Save(Store &store, const Values &values)
{
    std::array<std::int32_t, Schema.size()> written{};
    for (std::size_t i = 0; i < FavoriteCount; ++i)
        written[i] = values.favorites[i];
    written[9] = values.formtop;
    written[10] = values.colornamelist;
    written[11] = values.chr;

    for (std::size_t i = 0; i < Schema.size(); ++i)
        store.write(Schema[i].section, Schema[i].key, colorcodes::DecText(written[i]));
    store.flush();
}

} // namespace settings
