#pragma once

#include "colorcodes/colorcodes.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

// A colour written in the notations of other tools, and any of them read back.
namespace colorcodes {

// The formats, with the text each gives for steelblue (R 70, G 130, B 180).
enum class Format {
    Html,         // #4682B4
    HtmlLower,    // #4682b4
    CssRgb,       // rgb(70 130 180)
    CssRgbLegacy, // rgb(70, 130, 180)
    CssHsl,       // hsl(207 44% 49%)
    Hsv,          // hsv(207, 61%, 71%)
    Cmyk,         // cmyk(61%, 28%, 0%, 29%)
    FloatRgb,     // 0.275, 0.510, 0.706
    OkLch,        // oklch(58.8% 0.09934 245.74)
    VB,           // &H00B48246
    Dec,          // 11829830
    Windows,      // 0x00B48246
};

inline constexpr std::array<Format, 12> AllFormats = {
    Format::Html,   Format::HtmlLower, Format::CssRgb, Format::CssRgbLegacy,
    Format::CssHsl, Format::Hsv,       Format::Cmyk,   Format::FloatRgb,
    Format::OkLch,  Format::VB,        Format::Dec,    Format::Windows,
};

// The colour's text in the format. Where a format has fractions they are rounded to the
// places shown above, halves upwards, with trailing zeros dropped in oklch(). Every text
// but those of hsl(), hsv() and cmyk() reads back as the very same colour.
std::string FormatColor(ColorValue color, Format format);

// Why a text could not be read.
enum class ParseError {
    Empty,   // nothing but spaces
    Unknown, // neither a colour name nor any of the formats; token is the text
    Count,   // a function with the wrong number of values; token is its name,
             // expected the count it takes
    Number,  // token is not a number (or has a unit that does not belong there)
    Range,   // token lies outside low..high
    Gamut,   // an oklch() colour outside sRGB
    Alpha,   // a fourth value: transparency has no place in a colour value
};

struct ParseResult {
    std::optional<ColorValue> color; // set when the text was read
    ParseError error = ParseError::Empty;
    std::string token;
    int expected = 0;
    double low = 0, high = 0;
};

// Reads a colour in any of the formats above, case-insensitively, or one of the 140 names
// or "rebeccapurple". Spaces around the text and around values are ignored; values are
// apart by spaces, by commas or by both, as CSS allows. Also read: "#rgb", hex digits
// without "#" (six, at least one a letter), rgba(), hsla(), hwb() and hsb(), percentages in
// rgb(), "deg" after a hue, and fractions in rgb(), which are rounded. Three bare values
// are floats 0..1 when any has a decimal point and components 0..255 otherwise.
ParseResult ParseColor(std::string_view text);

} // namespace colorcodes
