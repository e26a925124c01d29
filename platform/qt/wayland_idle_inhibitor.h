#pragma once
// Keeps the screen on through the Wayland compositor: while held, an inhibitor of the
// compositor's idle-inhibit protocol sits on the window's surface, and the compositor neither
// blanks nor locks the output while the window is seen. Whether the compositor offers the
// protocol is known once the event loop has run (Settled); a hold asked for before then, or
// before the window has a surface, takes effect as soon as both are there. The protocol's side
// is a module loaded here only on Qt's Wayland platform.

#include <QObject>

#include <memory>

class CompositorIdleInhibit;
class QWidget;

class WaylandIdleInhibitor : public QObject {
    Q_OBJECT

public:
    // Null unless the program runs on Qt's Wayland platform and was built with its client; null
    // too, with a line on standard error, when the module cannot be loaded.
    static std::unique_ptr<WaylandIdleInhibitor> Open(QWidget* window);
    ~WaylandIdleInhibitor() override;  // lets the screen go

    void Hold();
    void Release();

    bool IsSettled() const { return settled_; }
    bool IsOffered() const;  // the compositor has the protocol

signals:
    void Settled();

private:
    explicit WaylandIdleInhibitor(QWidget* window);

    std::unique_ptr<CompositorIdleInhibit> module_;
    bool settled_ = false;
};
