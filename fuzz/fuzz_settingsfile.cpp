// A settings file of any bytes, read in memory: split anywhere it reads the same, the
// twelve values it gives are within their ranges, and its rewrite reads back as written,
// whole, and rewrites to itself.

#include "settings/inifile.h"

#include "colorcodes/colorcodes.h"

#include <cstdlib>

namespace {

settings::IniText read(std::string_view bytes, bool keepOthers, std::size_t splitAt)
{
    settings::IniText ini(keepOthers);
    ini.add(bytes.substr(0, splitAt));
    ini.add(bytes.substr(splitAt));
    ini.finish();
    return ini;
}

void check(bool holds)
{
    if (!holds)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using settings::Schema;
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::size_t splitAt = size == 0 ? 0 : data[0] % (size + 1);

    const settings::IniText whole = read(bytes, true, size);
    const settings::IniText split = read(bytes, true, splitAt);
    const settings::IniText lean = read(bytes, false, splitAt);
    check(split.readAround() == whole.readAround());

    std::array<std::string, Schema.size()> texts;
    for (std::size_t i = 0; i < Schema.size(); ++i) {
        check(split.text(i) == whole.text(i) && lean.text(i) == whole.text(i));
        const auto value
            = whole.text(i) ? settings::ParseStoredText(Schema[i], *whole.text(i)) : std::nullopt;
        const std::int32_t v = value.value_or(Schema[i].defaultValue);
        check(v >= 0
              && v <= (Schema[i].kind == settings::ValueKind::Colour ? colorcodes::White : 2));
        texts[i] = colorcodes::DecText(v);
    }

    const std::string rewritten = whole.rewrite(texts);
    const settings::IniText again = read(rewritten, true, rewritten.size() / 2);
    check(!again.readAround());
    for (std::size_t i = 0; i < Schema.size(); ++i)
        check(again.text(i) == texts[i]);
    check(again.rewrite(texts) == rewritten);
    return 0;
}
