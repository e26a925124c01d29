#pragma once
// Keeps the screen on through the X server itself, for a bare X server without a desktop's
// screen saver service: the server's screen saver stays suspended for this object's life
// (the server also ends the suspension when the program's connection closes), and the
// monitor's power saving (DPMS) is off while inhibited.

#include <QString>

#include <memory>

struct _XDisplay;

class XScreenSaver {
public:
    // Null, with the reason in `whyNot`, when the program does not run on an X server or the
    // server has neither the MIT-SCREEN-SAVER nor the DPMS extension.
    static std::unique_ptr<XScreenSaver> Open(QString* whyNot);
    ~XScreenSaver();
    XScreenSaver(const XScreenSaver&) = delete;
    XScreenSaver& operator=(const XScreenSaver&) = delete;

    void Inhibit();
    void UnInhibit();

private:
    XScreenSaver(_XDisplay* display, bool hasSaver, bool hasDpms);

    _XDisplay* display_;
    bool hasSaver_;
    bool hasDpms_;
    bool suspended_ = false;
    bool dpmsTurnedOff_ = false;  // DPMS was on and we turned it off: ours to turn back on
};
