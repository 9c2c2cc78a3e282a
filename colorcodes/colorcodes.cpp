#include "colorcodes/colorcodes.h"

#include <algorithm>

namespace colorcodes {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

} // namespace

ColorCodes SplitColor(ColorValue v)
{
    const auto bits = static_cast<std::uint32_t>(v);
    ColorCodes codes;
    codes.R = static_cast<std::int32_t>(bits & 255U);
    codes.G = static_cast<std::int32_t>((bits >> 8) & 255U);
    codes.B = static_cast<std::int32_t>((bits >> 16) & 255U);
    const std::string rr = TwoDigitHex(codes.R);
    const std::string gg = TwoDigitHex(codes.G);
    const std::string bb = TwoDigitHex(codes.B);
    codes.VBCode = "&H00" + bb + gg + rr;
    codes.HTMLCode = "#" + rr + gg + bb;
    return codes;
}

std::string TwoDigitHex(int component)
{
    const auto c = static_cast<unsigned>(component) & 255U;
    return {HexDigits[c >> 4], HexDigits[c & 15U]};
}

std::int32_t HexToLong(std::string_view s)
{
    const int high = !s.empty() ? hexDigitValue(s[0]) : 0;
    const int low = s.size() > 1 ? hexDigitValue(s[1]) : 0;
    return high * 16 + low;
}

std::string_view Mid(std::string_view s, std::size_t start, std::size_t length)
{
    if (start == 0 || start > s.size())
        return {};
    return s.substr(start - 1, length);
}

std::string DecText(std::int64_t v)
{
    return std::to_string(v);
}

int ComponentTextValue(std::string_view text)
{
    constexpr int Above = 256;
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(Above, value * 10 + (text[i] - '0'));
    return value;
}

bool IsDigitRun(std::string_view text)
{
    return !text.empty()
        && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string NormalizeCodeEntry(std::string_view typed)
{
    if (!typed.empty() && typed.front() == '#')
        typed.remove_prefix(1);
    std::string s(typed.substr(0, 6));
    if (!s.empty())
        s.resize(6, '0');
    std::transform(s.begin(), s.end(), s.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; });
    return s;
}

} // namespace colorcodes
