#include "platform/desktop/toolwindow.h"

#include <QWidget>

#include <windows.h>

namespace platform {

void SetKeptAbove(QWidget &window, bool on)
{
    ::SetWindowPos(reinterpret_cast<HWND>(window.winId()), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0,
                   0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

bool IsKeptAbove(const QWidget &window)
{
    const WId id = window.internalWinId();
    return id
        && (::GetWindowLongPtrW(reinterpret_cast<HWND>(id), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

} // namespace platform
