// Any bytes typed into the details window's entry are either read as a colour value
// 0..16777215 or refused with a reason; a colour read is written back in every format
// and each text that is not rounded reads back as the same colour.

#include "colorcodes/colorformats.h"

#include <cstdlib>

using namespace colorcodes;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view typed(reinterpret_cast<const char *>(data), size);
    const ParseResult result = ParseColor(typed);
    if (!result.color)
        return 0;
    if (*result.color < 0 || *result.color > White)
        std::abort();
    for (const Format format : AllFormats) {
        const ParseResult back = ParseColor(FormatColor(*result.color, format));
        if (!back.color)
            std::abort();
        const bool rounded
            = format == Format::CssHsl || format == Format::Hsv || format == Format::Cmyk;
        if (!rounded && *back.color != *result.color)
            std::abort();
    }
    return 0;
}
