#include "settings/heldtexts.h"

namespace settings {

namespace {

std::size_t schemaIndex(std::string_view section, std::string_view key)
{
    for (std::size_t i = 0; i < Schema.size(); ++i) {
        if (Schema[i].section == section && Schema[i].key == key)
            return i;
    }
    return Schema.size();
}

} // namespace

HeldTexts::HeldTexts()
{
    for (std::size_t i = 0; i < Schema.size(); ++i)
        found(i, std::nullopt);
}

void HeldTexts::found(std::size_t i, std::optional<std::string> text)
{
    const auto value = text ? ParseStoredText(Schema[i], *text) : std::nullopt;
    found_[i] = std::move(text);
    held_[i] = colorcodes::DecText(value.value_or(Schema[i].defaultValue));
    written_[i] = held_[i];
}

std::optional<std::string> HeldTexts::read(std::string_view section, std::string_view key)
{
    const std::size_t i = schemaIndex(section, key);
    return i < Schema.size() ? found_[i] : std::nullopt;
}

void HeldTexts::write(std::string_view section, std::string_view key, std::string_view text)
{
    if (const std::size_t i = schemaIndex(section, key); i < Schema.size())
        written_[i] = text;
}

} // namespace settings
