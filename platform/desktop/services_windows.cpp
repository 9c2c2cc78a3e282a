#include "platform/desktop/services.h"

#include <QApplication>
#include <QDir>
#include <QUrl>
#include <QWidget>

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include <array>
#include <vector>

namespace platform {

namespace {

const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

// The system colour dialog (comdlg32), kept with its colour and its custom colours for the
// run, as the common dialog control keeps them.
class CommonColorDialog final : public ColorDialog {
public:
    bool ShowColor(QWidget *owner) override
    {
        CHOOSECOLORW choose{};
        choose.lStructSize = sizeof choose;
        choose.hwndOwner = owner ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
        choose.rgbResult = static_cast<COLORREF>(color_);
        choose.lpCustColors = custom_.data();
        choose.Flags = CC_RGBINIT;
        // The dialog disables its owner alone; the program's other windows wait as they
        // wait for any modal dialog of the program's own.
        const std::vector<HWND> others = disableOtherWindows(choose.hwndOwner);
        const bool chosen = ::ChooseColorW(&choose) != FALSE;
        for (const HWND other : others)
            ::EnableWindow(other, TRUE);
        if (!chosen)
            return false;
        color_ = static_cast<colorcodes::ColorValue>(choose.rgbResult & 0xffffff);
        return true;
    }

private:
    static std::vector<HWND> disableOtherWindows(HWND owner)
    {
        std::vector<HWND> disabled;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (!window->isVisible() || !window->internalWinId())
                continue;
            const auto handle = reinterpret_cast<HWND>(window->internalWinId());
            if (handle != owner && ::IsWindowEnabled(handle)) {
                ::EnableWindow(handle, FALSE);
                disabled.push_back(handle);
            }
        }
        return disabled;
    }

    std::array<COLORREF, 16> custom_ = [] {
        std::array<COLORREF, 16> white{};
        white.fill(RGB(255, 255, 255));
        return white;
    }();
};

// Hands a file or address to the shell without waiting for what it starts; a failure
// cannot be noticed by the program and is not looked at.
class ShellDesktop final : public Desktop {
public:
    void open(const QUrl &url) override
    {
        if (url.isLocalFile()) {
            const QString file = QDir::toNativeSeparators(url.toLocalFile());
            ::ShellExecuteW(nullptr, L"open", wide(file), nullptr, L"c:\\", SW_SHOWNORMAL);
        } else {
            const QString address = url.toString();
            ::ShellExecuteW(nullptr, L"open", wide(address), nullptr, L"", SW_SHOW);
        }
    }
};

} // namespace

std::unique_ptr<ColorDialog> CreateSystemColorDialog()
{
    return std::make_unique<CommonColorDialog>();
}

std::unique_ptr<Desktop> CreateSystemDesktop()
{
    return std::make_unique<ShellDesktop>();
}

} // namespace platform
