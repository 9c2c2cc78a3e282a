// Prints the outer and the client size of the top-level window of the given title as
// Windows itself sees them, "WxH WxH": from outside Wine, X shows only what Wine leaves of
// the window once the window manager draws the frame.
//
// The outer size is the frame as it is seen. Since Windows 10 the resize borders of a
// sizing frame are invisible, left, right and below, and Qt sizes the visible frame; DWM
// tells its bounds, and where it cannot (Wine) the borders are taken off the window rect.
#include <windows.h>

#include <dwmapi.h>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    const HWND window = FindWindowA(nullptr, argv[1]);
    RECT outer;
    RECT client;
    if (!window || !GetWindowRect(window, &outer) || !GetClientRect(window, &client))
        return 1;
    if (FAILED(DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &outer, sizeof outer))
        && (GetWindowLongW(window, GWL_STYLE) & WS_THICKFRAME)) {
        const int border = GetSystemMetrics(SM_CXSIZEFRAME) + GetSystemMetrics(SM_CXPADDEDBORDER);
        outer.left += border;
        outer.right -= border;
        outer.bottom -= border;
    }
    std::printf("%ldx%ld %ldx%ld\n", outer.right - outer.left, outer.bottom - outer.top,
                client.right - client.left, client.bottom - client.top);
    return 0;
}
