// x-screen-saver-state: prints the X server's screen saver state, "on", "off" or "disabled",
// for the kiosk test.
#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x-screen-saver-state: cannot open the display\n");
        return 2;
    }
    XScreenSaverInfo* info = XScreenSaverAllocInfo();
    if (!info || !XScreenSaverQueryInfo(display, DefaultRootWindow(display), info)) {
        std::fprintf(stderr, "x-screen-saver-state: no MIT-SCREEN-SAVER extension\n");
        return 2;
    }
    std::puts(info->state == ScreenSaverOn ? "on" : info->state == ScreenSaverOff ? "off" : "disabled");
    XFree(info);
    XCloseDisplay(display);
    return 0;
}
