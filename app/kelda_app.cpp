#include "app/kelda_app.h"

#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "platform/qt/code_page.h"
#include "platform/qt/end_signals.h"
#include "platform/qt/heap_trimmer.h"
#include "platform/qt/message_box.h"
#include "platform/qt/screen_saver_inhibitor.h"
#include "platform/sys/snmp_mgr.h"
#include "res/app_resources.h"

#include <QApplication>

namespace {

// A start-up failure: string `id` in the framework's own form of message box.
void ReportStartupFailure(int id) {
    const std::string text(LoadStringResource(id));
    const std::string caption(LoadStringResource(AFX_IDS_APP_TITLE));
    MessageBox(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

CkeldaApp::PlatformSteps CkeldaApp::DefaultPlatformSteps() {
    return {[] { return SnmpMgrStartup() != 0; }, [] { return true; }};
}

CkeldaApp::CkeldaApp(PlatformSteps steps) : steps_(std::move(steps)) {}

CkeldaApp::~CkeldaApp() = default;

bool CkeldaApp::InitInstance() {
    // The common controls, the framework's own initialisation, control containers and the
    // framework's profile key (which nothing reads) need nothing under Qt.
    QApplication::setApplicationName(FromCodePage(LoadStringResource(AFX_IDS_APP_TITLE)));
    QApplication::setWindowIcon(LoadIconResource());
    if (!steps_.initSockets()) {
        ReportStartupFailure(IDP_SOCKETS_INIT_FAILED);
        return false;
    }
    if (!steps_.initOle()) {
        ReportStartupFailure(IDP_OLE_INIT_FAILED);
        return false;
    }
    // The frame's constructor makes the view, which loads the settings and starts the
    // polling worker before any window is shown.
    frame_ = std::make_unique<CMainFrame>([this](int command) { return OnCmdMsg(command); });
    frame_->LoadFrame();
    // An end signal takes the path of File > Exit, from before the window shows: one that comes
    // early waits for the event loop. A dialog open at the time belongs to the frame, so the
    // frame is still the last window: the program ends, the dialog's loop too.
    endSignals_ = std::make_unique<EndSignals>();
    QObject::connect(endSignals_.get(), &EndSignals::Received, frame_.get(), [this] { OnCmdMsg(ID_APP_EXIT); });
    screenSaver_ = std::make_unique<ScreenSaverInhibitor>(frame_.get());
    QObject::connect(frame_.get(), &CMainFrame::FullScreenChanged, screenSaver_.get(),
                     [inhibitor = screenSaver_.get()](bool fullScreen) {
                         if (fullScreen)
                             inhibitor->Inhibit();
                         else
                             inhibitor->UnInhibit();
                     });
    frame_->OnFullScreen();  // the program always starts full screen
    heapTrimmer_ = std::make_unique<HeapTrimmer>();
    return true;
}

bool CkeldaApp::OnCmdMsg(int command) {
    if (command == ID_APP_ABOUT) {
        OnAppAbout();
        return true;
    }
    if (command == ID_APP_EXIT) {
        frame_->close();
        return true;
    }
    return false;
}

void CkeldaApp::OnAppAbout() {
    CAboutDlg about(frame_.get());
    about.DoModal();
}
