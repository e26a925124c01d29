#include "platform/qt/x_screen_saver.h"

#include <QGuiApplication>

// Xlib's macros (Bool, Status, None...) clash with Qt's names: its headers come last.
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>
#include <X11/extensions/scrnsaver.h>

std::unique_ptr<XScreenSaver> XScreenSaver::Open(QString* whyNot) {
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display) {
        *whyNot = QStringLiteral("not on an X server");
        return nullptr;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    const bool hasSaver = XScreenSaverQueryExtension(display, &event, &error) &&
                          XScreenSaverQueryVersion(display, &major, &minor) &&
                          (major > 1 || (major == 1 && minor >= 1));  // the suspend call came with 1.1
    const bool hasDpms = DPMSQueryExtension(display, &event, &error) && DPMSCapable(display);
    if (!hasSaver && !hasDpms) {
        *whyNot = QStringLiteral("the X server has neither the MIT-SCREEN-SAVER nor the DPMS extension");
        return nullptr;
    }
    return std::unique_ptr<XScreenSaver>(new XScreenSaver(display, hasSaver, hasDpms));
}

XScreenSaver::XScreenSaver(_XDisplay* display, bool hasSaver, bool hasDpms)
    : display_(display), hasSaver_(hasSaver), hasDpms_(hasDpms) {}

XScreenSaver::~XScreenSaver() {
    UnInhibit();
    if (suspended_)
        XScreenSaverSuspend(display_, False);
    XFlush(display_);
}

void XScreenSaver::Inhibit() {
    if (hasSaver_ && !suspended_) {
        XScreenSaverSuspend(display_, True);
        suspended_ = true;
    }
    CARD16 level = 0;
    BOOL enabled = False;
    if (hasDpms_ && !dpmsTurnedOff_ && DPMSInfo(display_, &level, &enabled) && enabled) {
        DPMSDisable(display_);
        dpmsTurnedOff_ = true;
    }
    XFlush(display_);
}

void XScreenSaver::UnInhibit() {
    if (!dpmsTurnedOff_)
        return;
    DPMSEnable(display_);
    dpmsTurnedOff_ = false;
    XFlush(display_);
}
