#pragma once
// The main frame: the one top-level window. It holds the meter view as its only child, owns
// the menu and the accelerators, implements full-screen mode and offers every command to the
// view before handling it itself.

#include <QMainWindow>
#include <QRect>

#include <functional>
#include <map>
#include <vector>

class QMenu;

class CChildView;
class QAction;

class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // Commands neither the view nor the frame handles go to `applicationCommands`, which
    // returns whether it handled them.
    using CommandHandler = std::function<bool(int command)>;
    explicit CMainFrame(CommandHandler applicationCommands = {});
    ~CMainFrame() override;

    // The window's parts: title, icon, menu 128 and accelerator table 128.
    void LoadFrame();

    CChildView& View() const { return *view_; }
    bool IsFullScreen() const { return isFullScreen_; }
    // The screen as measured when the frame was made: full screen always covers this.
    QRect FullScreenRect() const { return fullScreenRect_; }
    // The menu's action for a command, for the window system's and the tests' use.
    QAction* CommandAction(int command) const;

    // Routes one command: the view first, then the frame, then the application.
    bool OnCmdMsg(int command);
    // Full Screen command: toggles between full screen and the normal window.
    void OnFullScreen();
    // Back to full screen if the frame left it, in front of other windows and with the
    // keyboard (a dialog of the display's own that is open keeps both): what a second start
    // of the program asks of the first.
    void ComeForward();

signals:
    // The frame went into full screen (true) or out of it (false), whatever took it there.
    void FullScreenChanged(bool fullScreen);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void EnterFullScreen();
    // Keeps the placement of the normal window, for when the user leaves full screen.
    void RememberNormalGeometry();
    // The menu's texts in the display language.
    void TranslateMenu();

    CChildView* view_;
    CommandHandler applicationCommands_;
    QRect fullScreenRect_;
    QRect normalGeometry_;
    bool isFullScreen_ = false;
    std::map<int, QAction*> actions_;
    std::vector<QMenu*> menus_;  // in the order of the menu resource
};
