// Whatever text arrives in a number field, typed or pasted, its slider stays within 0..255
// and a field that does not hold digits alone ends up showing the slider's value.

#include "app/chromalynx.h"
#include "platform/controls/scrollbar.h"
#include "platform/controls/textbox.h"

#include <QApplication>
#include <QUrl>

#include <algorithm>
#include <cstdlib>

namespace {

struct NoDialog final : platform::ColorDialog {
    bool ShowColor(QWidget *) override { return false; }
};
struct NoMessages final : platform::MessageBox {
    bool confirm(QWidget *, const QString &, const QString &) override { return false; }
    void inform(QWidget *, const QString &, const QString &) override { }
};
struct NoDesktop final : platform::Desktop {
    void open(const QUrl &) override { }
};
struct NoStore final : settings::Store {
    std::optional<std::string> read(std::string_view, std::string_view) override { return {}; }
    void write(std::string_view, std::string_view, std::string_view) override { }
    void flush() override { }
};

Chromalynx &window()
{
    static int argc = 1;
    static char name[] = "fuzz_numberfield";
    static char *argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    static NoDialog dialog;
    static NoMessages messages;
    static NoDesktop desktop;
    static NoStore store;
    static Chromalynx form({dialog, messages, desktop, store, QString()});
    return form;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Chromalynx &form = window();
    // The first byte picks the field and whether the text is pasted whole or typed.
    if (size == 0)
        return 0;
    platform::TextBox *fields[] = {form.RText, form.GText, form.BText};
    platform::ScrollBar *sliders[] = {form.RSlider, form.GSlider, form.BSlider};
    const int row = data[0] % 3;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1),
                                           static_cast<qsizetype>(size - 1));
    fields[row]->selectAll();
    fields[row]->insert(text);

    for (int i = 0; i < 3; ++i) {
        const int value = sliders[i]->value();
        if (value < 0 || value > 255)
            std::abort();
    }
    const QString shown = fields[row]->text();
    const bool digitsOnly = !shown.isEmpty()
        && std::all_of(shown.begin(), shown.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    // Digits with leading zeros may stand as typed ("07" with the slider at 7).
    if (!digitsOnly || shown.toInt() != sliders[row]->value())
        std::abort();
    return 0;
}
