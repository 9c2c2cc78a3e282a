#include "colorcodes/colorformats.h"

#include "colorcodes/colorscience.h"
#include "colorcodes/namedcolors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace colorcodes {

namespace {

// --- Writing ---------------------------------------------------------------------------

// CSS Color 4 serialises hsl() and hwb() as rgb() and leaves the precision of oklch() to
// the implementation; CSS Values 4 rounds to the nearest value, halves towards +∞. The
// 1e-9 keeps a value that is a half in exact arithmetic from falling just below it.
long long roundScaled(double value, int places)
{
    return std::llround(std::floor(value * std::pow(10.0, places) + 0.5 + 1e-9));
}

// A value scaled by 10^places as decimal text with that many places; trimmed drops
// trailing zeros and a trailing point.
std::string decimal(long long scaled, int places, bool trimmed = false)
{
    std::string digits = std::to_string(scaled < 0 ? -scaled : scaled);
    if (places > 0) {
        if (digits.size() <= static_cast<std::size_t>(places))
            digits.insert(0, static_cast<std::size_t>(places) + 1 - digits.size(), '0');
        digits.insert(digits.size() - static_cast<std::size_t>(places), 1, '.');
        if (trimmed) {
            digits.erase(digits.find_last_not_of('0') + 1);
            if (digits.back() == '.')
                digits.pop_back();
        }
    }
    return (scaled < 0 ? "-" : "") + digits;
}

std::string percent(double fraction)
{
    return std::to_string(roundScaled(fraction * 100, 0)) + '%';
}

// Whole degrees, 360 written as 0.
std::string degrees(double hue)
{
    const long long h = roundScaled(hue, 0);
    return std::to_string(h >= 360 ? h - 360 : h);
}

std::string oklch(ColorValue color)
{
    const OkLch lch = ToOkLch(color);
    const long long lightness = roundScaled(lch.L * 100, 2);
    const long long chroma = roundScaled(lch.C, 5);
    long long hue = chroma == 0 ? 0 : roundScaled(lch.h, 2);
    if (hue >= 36000)
        hue -= 36000;
    return "oklch(" + decimal(lightness, 2, true) + "% " + decimal(chroma, 5, true) + ' '
        + decimal(hue, 2, true) + ')';
}

// --- Reading ---------------------------------------------------------------------------

char lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

bool allOf(std::string_view s, bool (*test)(char))
{
    return !s.empty() && std::all_of(s.begin(), s.end(), test);
}

int hexValue(char c)
{
    return c <= '9' ? c - '0' : c - 'a' + 10;
}

long long hexNumber(std::string_view digits)
{
    long long value = 0;
    for (const char c : digits)
        value = value * 16 + hexValue(c);
    return value;
}

ParseResult failure(ParseError error, std::string_view token = {}, double low = 0, double high = 0)
{
    ParseResult result;
    result.error = error;
    result.token = token;
    result.low = low;
    result.high = high;
    return result;
}

ParseResult success(ColorValue color)
{
    ParseResult result;
    result.color = color;
    return result;
}

ParseResult fromRgb(const Rgb &rgb)
{
    return success(FromRgb(rgb));
}

// A value inside a function: a number with an optional "%" or "deg" after it.
struct Value {
    std::string_view text;
    double number = 0;
    bool percent = false;
    bool degrees = false;
};

std::optional<Value> readValue(std::string_view token)
{
    Value value{token};
    std::string_view digits = token;
    if (digits.ends_with('%')) {
        value.percent = true;
        digits.remove_suffix(1);
    } else if (digits.ends_with("deg")) {
        value.degrees = true;
        digits.remove_suffix(3);
    }
    // from_chars takes no "+" and would take "inf" and "nan", which CSS does not.
    if (digits.starts_with('+'))
        digits.remove_prefix(1);
    const bool startsLikeNumber = !digits.empty()
        && ((digits[0] >= '0' && digits[0] <= '9') || digits[0] == '.'
            || (digits[0] == '-' && digits.size() > 1));
    if (!startsLikeNumber)
        return std::nullopt;
    const auto [end, error]
        = std::from_chars(digits.data(), digits.data() + digits.size(), value.number);
    if (error != std::errc() || end != digits.data() + digits.size()
        || !std::isfinite(value.number))
        return std::nullopt;
    return value;
}

// Values apart by spaces, commas or both; an empty place between two commas is a value
// that is not a number.
std::vector<std::string_view> splitValues(std::string_view s)
{
    std::vector<std::string_view> values;
    std::size_t i = 0;
    bool afterComma = false;
    while (i < s.size()) {
        if (isSpace(s[i])) {
            ++i;
            continue;
        }
        if (s[i] == ',') {
            if (afterComma || values.empty())
                values.emplace_back();
            afterComma = true;
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < s.size() && !isSpace(s[i]) && s[i] != ',' && s[i] != '/')
            ++i;
        if (i == start) // "/" before an alpha value
            ++i;
        values.push_back(s.substr(start, i - start));
        afterComma = false;
    }
    if (afterComma)
        values.emplace_back();
    return values;
}

// Checks that a value lies in low..high; the unit says what the bounds are in.
std::optional<ParseResult> outside(const Value &value, double number, double low, double high)
{
    if (number < low || number > high)
        return failure(ParseError::Range, value.text, low, high);
    return std::nullopt;
}

ParseResult readFunction(std::string_view name, std::string_view inside)
{
    const std::vector<std::string_view> tokens = splitValues(inside);
    const bool cmyk = name == "cmyk";
    const std::size_t count = cmyk ? 4 : 3;
    if (std::find(tokens.begin(), tokens.end(), std::string_view()) != tokens.end())
        return failure(ParseError::Number, ",");
    if (tokens.size() > count && !cmyk)
        return failure(ParseError::Alpha, tokens[count]);
    if (tokens.size() != count) {
        ParseResult result = failure(ParseError::Count, name);
        result.expected = static_cast<int>(count);
        return result;
    }
    std::array<Value, 4> values{};
    for (std::size_t i = 0; i < count; ++i) {
        const std::optional<Value> value = readValue(tokens[i]);
        // A unit fits only where the function takes it: "deg" on a hue, "%" elsewhere.
        const bool hueSlot = (i == 0 && name.starts_with('h')) || (i == 2 && name == "oklch");
        if (!value || (value->degrees && !hueSlot) || (value->percent && hueSlot))
            return failure(ParseError::Number, tokens[i]);
        values[i] = *value;
    }

    if (name == "rgb" || name == "rgba") {
        std::array<int, 3> c{};
        for (std::size_t i = 0; i < 3; ++i) {
            const Value &v = values[i];
            const double number = v.percent ? v.number * 255 / 100 : v.number;
            if (auto bad = outside(v, v.number, 0, v.percent ? 100 : 255))
                return *bad;
            c[i] = static_cast<int>(std::floor(number + 0.5));
        }
        return success(MakeColor(c[0], c[1], c[2]));
    }
    if (name == "oklch") {
        const Value &l = values[0], &c = values[1], &h = values[2];
        // "%" on lightness means 0..100%, a bare number 0..1; on chroma 100% is 0.4.
        const double lightness = l.percent ? l.number / 100 : l.number;
        if (auto bad = outside(l, l.number, 0, l.percent ? 100 : 1))
            return *bad;
        const double chroma = c.percent ? c.number * 0.004 : c.number;
        if (auto bad = outside(c, chroma, 0, HUGE_VAL))
            return *bad;
        // CSS Color 4 maps these two ends to white and black whatever the chroma.
        if (lightness >= 1)
            return success(White);
        if (lightness <= 0)
            return success(0);
        const Rgb rgb = OkLchToRgb({lightness, chroma, h.number});
        // Anything that still rounds into 0..255 is inside.
        constexpr double slack = 0.5 / 255;
        for (const double x : {rgb.r, rgb.g, rgb.b})
            if (x < -slack || x > 1 + slack)
                return failure(ParseError::Gamut);
        return fromRgb(rgb);
    }
    // The rest take percentages (with or without "%"), 0..100.
    for (std::size_t i = cmyk ? 0 : 1; i < count; ++i)
        if (auto bad = outside(values[i], values[i].number, 0, 100))
            return *bad;
    const double hue = values[0].number;
    const double second = values[1].number / 100, third = values[2].number / 100;
    if (cmyk)
        return fromRgb(CmykToRgb({values[0].number / 100, second, third, values[3].number / 100}));
    if (name == "hsl" || name == "hsla")
        return fromRgb(HslToRgb({hue, second, third}));
    if (name == "hwb")
        return fromRgb(HwbToRgb(hue, second, third));
    return fromRgb(HsvToRgb({hue, second, third}));
}

// Three values without a function: floats 0..1 when any has a decimal point, components
// 0..255 otherwise.
std::optional<ParseResult> readTriple(std::string_view text)
{
    const std::vector<std::string_view> tokens = splitValues(text);
    if (tokens.size() != 3)
        return std::nullopt;
    std::array<double, 3> numbers{};
    bool fractional = false;
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<Value> value = readValue(tokens[i]);
        if (!value || value->percent || value->degrees)
            return std::nullopt;
        numbers[i] = value->number;
        fractional = fractional || tokens[i].find_first_of(".e") != std::string_view::npos;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        const Value value{tokens[i], numbers[i]};
        if (auto bad = outside(value, numbers[i], 0, fractional ? 1 : 255))
            return bad;
    }
    if (fractional)
        return fromRgb({numbers[0], numbers[1], numbers[2]});
    return success(MakeColor(static_cast<int>(numbers[0]), static_cast<int>(numbers[1]),
                             static_cast<int>(numbers[2])));
}

std::optional<ColorValue> namedColor(std::string_view name)
{
    if (name == "rebeccapurple")
        return MakeColor(0x66, 0x33, 0x99);
    for (std::size_t i = 0; i < NamedColorCount; ++i) {
        const NamedColor &named = NamedColorByCode(i);
        if (named.name == name)
            return MakeColor(HexToLong(named.code.substr(1, 2)), HexToLong(named.code.substr(3, 2)),
                             HexToLong(named.code.substr(5, 2)));
    }
    return std::nullopt;
}

// A code whose digits give the colour value directly (VB, Windows): at most 0xFFFFFF.
ParseResult valueCode(std::string_view whole, std::string_view digits)
{
    if (!allOf(digits, isHex) || digits.size() > 8)
        return failure(ParseError::Unknown, whole);
    const long long value = hexNumber(digits);
    if (value > White)
        return failure(ParseError::Range, whole, 0, White);
    return success(static_cast<ColorValue>(value));
}

} // namespace

std::string FormatColor(ColorValue color, Format format)
{
    const ColorCodes parts = SplitColor(color);
    const Rgb rgb = ToRgb(color);
    const std::string r = std::to_string(parts.R), g = std::to_string(parts.G),
                      b = std::to_string(parts.B);
    switch (format) {
    case Format::Html:
        return parts.HTMLCode;
    case Format::HtmlLower: {
        std::string code = parts.HTMLCode;
        std::transform(code.begin(), code.end(), code.begin(), lower);
        return code;
    }
    case Format::CssRgb:
        return "rgb(" + r + ' ' + g + ' ' + b + ')';
    case Format::CssRgbLegacy:
        return "rgb(" + r + ", " + g + ", " + b + ')';
    case Format::CssHsl: {
        const Hsl hsl = RgbToHsl(rgb);
        return "hsl(" + degrees(hsl.h) + ' ' + percent(hsl.s) + ' ' + percent(hsl.l) + ')';
    }
    case Format::Hsv: {
        const Hsv hsv = RgbToHsv(rgb);
        return "hsv(" + degrees(hsv.h) + ", " + percent(hsv.s) + ", " + percent(hsv.v) + ')';
    }
    case Format::Cmyk: {
        const Cmyk cmyk = RgbToCmyk(rgb);
        return "cmyk(" + percent(cmyk.c) + ", " + percent(cmyk.m) + ", " + percent(cmyk.y) + ", "
            + percent(cmyk.k) + ')';
    }
    case Format::FloatRgb:
        return decimal(roundScaled(rgb.r, 3), 3) + ", " + decimal(roundScaled(rgb.g, 3), 3) + ", "
            + decimal(roundScaled(rgb.b, 3), 3);
    case Format::OkLch:
        return oklch(color);
    case Format::VB:
        return parts.VBCode;
    case Format::Dec:
        return DecText(MakeColor(parts.R, parts.G, parts.B));
    case Format::Windows:
        return "0x" + parts.VBCode.substr(2);
    }
    return {};
}

ParseResult ParseColor(std::string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return failure(ParseError::Empty);
    const std::string original(text);
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), lower);
    const std::string_view s = lowered;

    if (s.starts_with('#')) {
        const std::string_view digits = s.substr(1);
        if (!allOf(digits, isHex) || (digits.size() != 3 && digits.size() != 6))
            return failure(ParseError::Unknown, original);
        if (digits.size() == 3) // CSS's short form: each digit twice
            return success(MakeColor(hexValue(digits[0]) * 17, hexValue(digits[1]) * 17,
                                     hexValue(digits[2]) * 17));
        const auto byte
            = [&](std::size_t i) { return static_cast<int>(hexNumber(digits.substr(i, 2))); };
        return success(MakeColor(byte(0), byte(2), byte(4)));
    }
    if (s.starts_with("&h"))
        return valueCode(original, s.substr(2));
    if (s.starts_with("0x"))
        return valueCode(original, s.substr(2));

    if (const std::size_t open = s.find('('); open != std::string_view::npos) {
        std::string_view name = s.substr(0, open);
        while (!name.empty() && isSpace(name.back()))
            name.remove_suffix(1);
        static constexpr std::array<std::string_view, 10> functions
            = {"rgb", "rgba", "hsl", "hsla", "hsv", "hsva", "hsb", "hwb", "cmyk", "oklch"};
        if (std::find(functions.begin(), functions.end(), name) == functions.end()
            || !s.ends_with(')'))
            return failure(ParseError::Unknown, original);
        return readFunction(name, s.substr(open + 1, s.size() - open - 2));
    }

    if (allOf(s, [](char c) { return c >= '0' && c <= '9'; })) {
        if (s.size() > 8 || std::stoll(std::string(s)) > White)
            return failure(ParseError::Range, original, 0, White);
        return success(static_cast<ColorValue>(std::stoll(std::string(s))));
    }
    if (const std::optional<ColorValue> named = namedColor(s))
        return success(*named);
    if (s.size() == 6 && allOf(s, isHex)) {
        const auto byte
            = [&](std::size_t i) { return static_cast<int>(hexNumber(s.substr(i, 2))); };
        return success(MakeColor(byte(0), byte(2), byte(4)));
    }
    if (std::optional<ParseResult> triple = readTriple(s))
        return *triple;
    return failure(ParseError::Unknown, original);
}

} // namespace colorcodes
