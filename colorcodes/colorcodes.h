#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The colour value and its three code notations.
//
// A colour value uses the Windows colour-reference layout: red in bits 0..7, green in
// bits 8..15, blue in bits 16..23, so value = R + 256·G + 65536·B, 0..16777215 for every
// colour the program composes. A component is an integer 0..255.
namespace colorcodes {

using ColorValue = std::int32_t;

inline constexpr ColorValue White = 16777215;

// What SplitColor gives, fields in this order. HTMLCode is "#RRGGBB" (7 characters),
// VBCode is "&H00BBGGRR" (10 characters); both upper case.
struct ColorCodes {
    std::int32_t R = 0;
    std::int32_t G = 0;
    std::int32_t B = 0;
    std::string HTMLCode;
    std::string VBCode;

    friend bool operator==(const ColorCodes &, const ColorCodes &) = default;
};

// R + 256·G + 65536·B for three components 0..255.
constexpr ColorValue MakeColor(int r, int g, int b)
{
    return r + 256 * g + 65536 * b;
}

// Takes any 32-bit value apart; bits 24..31 are ignored whatever they hold.
ColorCodes SplitColor(ColorValue v);

// The two-digit upper-case hexadecimal text of a component 0..255 ("0A" for 10).
std::string TwoDigitHex(int component);

// Reads the first two characters of s as hexadecimal digits, 0..255. Only "0"-"9" and
// upper-case "A"-"F" count; any other or missing character counts as the digit 0.
std::int32_t HexToLong(std::string_view s);

// Characters start to start + length − 1 of s, counting from 1; whatever of them lies
// beyond the end of s is left out.
std::string_view Mid(std::string_view s, std::size_t start, std::size_t length);

// The DEC notation and every decimal text the program writes: digits only, "-" for
// negatives, no leading zeros ("0" for zero).
std::string DecText(std::int64_t v);

// --- Number fields -------------------------------------------------------------------

// The number a component field's text stands for: leading spaces skipped, then the
// leading decimal digits. Saturates at 256, so any number above 255 reads as 256 and no
// text, however long, can overflow. A sign, or text with no digits, reads as 0.
int ComponentTextValue(std::string_view text);

// True when text is what typing into a number field can produce: one or more digits.
bool IsDigitRun(std::string_view text);

// --- Code entry ----------------------------------------------------------------------

// An entered code brought to the six characters RRGGBB: a leading "#" dropped, short
// codes padded with "0" on the right, long ones cut after six, then upper-cased.
// Characters are single bytes: the caller maps each character that is not ASCII to a
// byte that is no hexadecimal digit.
std::string NormalizeCodeEntry(std::string_view typed);

} // namespace colorcodes
