// An entered code, whatever bytes it holds, gives three components 0..255 and a
// normalised code of six or no characters.

#include "colorcodes/colorcodes.h"

#include <cstdlib>

using namespace colorcodes;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view typed(reinterpret_cast<const char *>(data), size);
    const std::string s = NormalizeCodeEntry(typed);
    if (s.size() != 6 && !s.empty())
        std::abort();
    for (std::size_t start : {1U, 3U, 5U}) {
        const std::int32_t component = HexToLong(Mid(s, start, 2));
        if (component < 0 || component > 255)
            std::abort();
    }
    const ColorCodes parts = SplitColor(static_cast<ColorValue>(HexToLong(typed) * 65793));
    if (parts.HTMLCode.size() != 7 || parts.VBCode.size() != 10)
        std::abort();
    return 0;
}
