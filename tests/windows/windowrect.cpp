// Prints the outer and the client size of the top-level window of the given title as
// Windows itself sees them, "WxH WxH": from outside Wine, X shows only what Wine leaves of
// the window once the window manager draws the frame.
#include <windows.h>

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
    std::printf("%ldx%ld %ldx%ld\n", outer.right - outer.left, outer.bottom - outer.top,
                client.right - client.left, client.bottom - client.top);
    return 0;
}
