#pragma once
// The application object: initialises the platform services in a fixed order, makes the
// main frame and shows it full screen, and handles About and Exit. SIGTERM, SIGINT and
// SIGHUP end the program as Exit does.

#include <functional>
#include <memory>

class CMainFrame;
class EndSignals;
class HeapTrimmer;
class ScreenSaverInhibitor;

class CkeldaApp {
public:
    // The platform steps of the start-up, each reporting success; tests make them fail.
    struct PlatformSteps {
        std::function<bool()> initSockets;  // the SNMP library's process-wide initialisation
        std::function<bool()> initOle;      // nothing to set up on this platform
    };
    static PlatformSteps DefaultPlatformSteps();

    explicit CkeldaApp(PlatformSteps steps = DefaultPlatformSteps());
    ~CkeldaApp();
    CkeldaApp(const CkeldaApp&) = delete;
    CkeldaApp& operator=(const CkeldaApp&) = delete;

    // The start-up sequence; false ends the process at once (after the failure's message).
    bool InitInstance();
    CMainFrame* MainWindow() const { return frame_.get(); }

    // Commands that reach the application: About (57664) and Exit (57665).
    bool OnCmdMsg(int command);
    void OnAppAbout();

private:
    PlatformSteps steps_;
    // Keeps the screen on while the frame is full screen; outlives the frame, to give the
    // screen back at exit.
    std::unique_ptr<ScreenSaverInhibitor> screenSaver_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<EndSignals> endSignals_;
    std::unique_ptr<HeapTrimmer> heapTrimmer_;
};
