#pragma once

#include "settings/storedsettings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace settings {

// A store that reads its texts once, when opened, and writes all of them at flush. It
// keeps, for each key of the schema, the text found at start-up, the text the run would
// write back if nothing changed (the found text where it is one of ours, else the
// default's), and the text the run gave: a flush that fails loses something only where
// the last two differ.
class HeldTexts : public Store {
public:
    HeldTexts();

    std::optional<std::string> read(std::string_view section, std::string_view key) override;
    void write(std::string_view section, std::string_view key, std::string_view text) override;
    bool keptAll() const override { return keptAll_; }

protected:
    // What the store held for Schema[i] at start-up: nothing where the key is missing or
    // its text cannot be read.
    void found(std::size_t i, std::optional<std::string> text);

    // The texts to write, in schema order.
    const std::array<std::string, Schema.size()> &written() const { return written_; }
    // Whether Schema[i]'s text of the run differs from what the store held at start-up.
    bool changed(std::size_t i) const { return written_[i] != held_[i]; }
    bool changed() const { return written_ != held_; }

    bool keptAll_ = true;

private:
    std::array<std::optional<std::string>, Schema.size()> found_;
    std::array<std::string, Schema.size()> held_;
    std::array<std::string, Schema.size()> written_;
};

} // namespace settings
