#pragma once

#include "colorcodes/colorcodes.h"

#include <QString>

#include <memory>

class QUrl;
class QWidget;

// The desktop services the program uses, each behind an interface small enough for tests
// to answer in place of a person.
namespace platform {

// The colour dialog component. It keeps its Color from one use to the next for as long
// as the program runs.
class ColorDialog {
public:
    virtual ~ColorDialog() = default;

    // Shows the dialog modally, starting from Color. OK makes the chosen colour the new
    // Color and gives true; Cancel leaves Color as it was and gives false.
    virtual bool ShowColor(QWidget *owner) = 0;

    colorcodes::ColorValue Color() const { return color_; }

protected:
    colorcodes::ColorValue color_ = 0;
};

// Message boxes without an icon.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    // OK and Cancel, OK the default; true for OK.
    virtual bool confirm(QWidget *owner, const QString &text, const QString &title) = 0;
    // OK alone.
    virtual void inform(QWidget *owner, const QString &text, const QString &title) = 0;
};

// Hands a file, a web address or a "mailto:" address to the user's default program. Its
// success cannot be known (a launcher may accept and then fail), so nothing is returned.
class Desktop {
public:
    virtual ~Desktop() = default;
    virtual void open(const QUrl &url) = 0;
};

// The platform's own colour dialog and shell: the common dialog and ShellExecute on
// Windows, Qt's dialog and desktop services elsewhere (services_<platform>.cpp).
std::unique_ptr<ColorDialog> CreateSystemColorDialog();
std::unique_ptr<Desktop> CreateSystemDesktop();

} // namespace platform
