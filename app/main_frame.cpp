#include "app/main_frame.h"

#include "platform/qt/code_page.h"
#include "res/app_resources.h"
#include "view/child_view.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QWindow>

CMainFrame::CMainFrame(CommandHandler applicationCommands)
    : view_(new CChildView(this)), applicationCommands_(std::move(applicationCommands)) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    fullScreenRect_ = screen ? screen->geometry() : QRect();
    setCentralWidget(view_);
    // The normal window, for when the user leaves full screen: two thirds of the screen.
    // The frame never grows beyond the screen as measured now.
    if (fullScreenRect_.isValid()) {
        setMaximumSize(fullScreenRect_.size());
        resize(fullScreenRect_.size() * 2 / 3);
    }
    normalGeometry_ = geometry();
    // Keys reach the frame's accelerators wherever the focus is inside the frame, also in
    // full-screen mode, where the menu bar is out of sight.
    qApp->installEventFilter(this);
}

CMainFrame::~CMainFrame() {
    qApp->removeEventFilter(this);
}

void CMainFrame::LoadFrame() {
    setWindowTitle(FromCodePage(LoadStringResource(IDR_MAINFRAME)));
    setWindowIcon(LoadIconResource());
    for (const MenuPopupResource& popup : MainMenuResource()) {
        QMenu* menu = menuBar()->addMenu(QString());
        menus_.push_back(menu);
        for (const MenuItemResource& item : popup.items) {
            // The text after the tab shows the key; the accelerator table does the work.
            QAction* action = menu->addAction(QString());
            const int command = item.command;
            connect(action, &QAction::triggered, this, [this, command] { OnCmdMsg(command); });
            actions_[command] = action;
        }
    }
    TranslateMenu();
}

void CMainFrame::TranslateMenu() {
    const auto translated = [](const char* source) { return QCoreApplication::translate("Menu", source); };
    auto menu = menus_.begin();
    for (const MenuPopupResource& popup : MainMenuResource()) {
        if (menu == menus_.end())
            return;  // no menu made yet
        (*menu++)->setTitle(translated(popup.text));
        for (const MenuItemResource& item : popup.items)
            actions_[item.command]->setText(translated(item.text));
    }
}

QAction* CMainFrame::CommandAction(int command) const {
    const auto found = actions_.find(command);
    return found == actions_.end() ? nullptr : found->second;
}

bool CMainFrame::OnCmdMsg(int command) {
    if (view_->OnCmdMsg(command))
        return true;
    if (command == ID_VIEW_FULLSCREEN) {
        OnFullScreen();
        return true;
    }
    return applicationCommands_ && applicationCommands_(command);
}

void CMainFrame::OnFullScreen() {
    if (!isFullScreen_) {
        EnterFullScreen();
        return;
    }
    showNormal();
    setGeometry(normalGeometry_);
}

void CMainFrame::ComeForward() {
    if (!isFullScreen_)
        EnterFullScreen();
    raise();
    activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void CMainFrame::EnterFullScreen() {
    // The window system may have no part in full screen (no window manager): place the
    // window over the screen as measured at start-up ourselves, and say it is full screen.
    // The state goes first, so that this placement is never taken for the normal window's.
    setWindowState((windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)) | Qt::WindowFullScreen);
    // A Wayland compositor places full screen itself, and Qt keeps the size the window has
    // when the compositor answers as the normal window's size: placed here, the normal window
    // would be as large as the screen, and larger than it with its decorations.
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        setGeometry(fullScreenRect_);
    showFullScreen();  // shows and activates the window; the state is already set
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    // The window system's answer to a change of state. Qt on Wayland adds or drops the
    // window's decorations then, into a new buffer where it paints only them and the menu bar:
    // the view would stay blank, or keep the old picture, until its next change.
    if (event->type() == QEvent::WindowStateChange && watched == windowHandle())
        view_->update();
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && (widget == this || isAncestorOf(widget))) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const int command = TranslateAccelerator(key->key(), key->modifiers(), key->text().toStdString());
            if (command != 0) {
                OnCmdMsg(command);  // an accelerator whose command nobody handles does nothing
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        TranslateMenu();
    if (event->type() == QEvent::WindowStateChange) {
        // Whatever maximises the frame (the command, the maximise button, a double click on
        // the caption) makes it full screen. A window that is full screen as well stays as it
        // is: a kiosk compositor keeps every window maximised and answers each request to
        // drop it with that state again, which would go on for ever.
        const Qt::WindowStates state = windowState();
        if ((state & Qt::WindowMaximized) && !(state & Qt::WindowFullScreen)) {
            QTimer::singleShot(0, this, [this] { EnterFullScreen(); });
            return;
        }
        const bool wasFullScreen = isFullScreen_;
        isFullScreen_ = (windowState() & Qt::WindowFullScreen) && !(windowState() & Qt::WindowMinimized);
        if (isFullScreen_ != wasFullScreen)
            emit FullScreenChanged(isFullScreen_);
        // Out of sight in full screen but not hidden: Qt turns off a hidden menu bar's keys,
        // and Alt with a popup's letter must open its menu (at the top of the screen) there too.
        if (isFullScreen_)
            menuBar()->setFixedHeight(0);
        else
            menuBar()->setMaximumHeight(QWIDGETSIZE_MAX);
    } else if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        view_->setFocus();
    }
}

void CMainFrame::focusInEvent(QFocusEvent* event) {
    QMainWindow::focusInEvent(event);
    view_->setFocus();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    view_->OnDestroy();
    QMainWindow::closeEvent(event);
}

void CMainFrame::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    RememberNormalGeometry();
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    RememberNormalGeometry();
}

void CMainFrame::RememberNormalGeometry() {
    // Once the window system's events at hand are handled: a move comes before its resize,
    // and a window manager's maximised placement may come before the state that explains it.
    QTimer::singleShot(0, this, [this] {
        if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen) ||
            geometry() == normalGeometry_)
            return;
        normalGeometry_ = geometry();
    });
}
