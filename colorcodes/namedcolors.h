#pragma once

#include "colorcodes/colorcodes.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The catalogue of the 140 named web colours and the entry texts of the two lists.
namespace colorcodes {

struct NamedColor {
    std::string_view code; // "#" and six upper-case hexadecimal digits, RRGGBB
    std::string_view name; // lower-case ASCII letters, 3..20 characters
};

inline constexpr std::size_t NamedColorCount = 140;

// position 0..139 in code order (ties by name: "aqua" before "cyan").
const NamedColor &NamedColorByCode(std::size_t position);

// position 0..139 in strict character-code order of the names.
const NamedColor &NamedColorByName(std::size_t position);

// "#RRGGBB name", as the code-ordered list shows it.
std::string CodeOrderEntry(const NamedColor &color);

// "name #RRGGBB", as the name-ordered list shows it.
std::string NameOrderEntry(const NamedColor &color);

// The names of a colour value in code order: none for most values, two for the few codes
// that carry two names ("aqua" and "cyan").
std::vector<std::string_view> NamesOf(ColorValue color);

} // namespace colorcodes
