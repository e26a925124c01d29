#pragma once
// Keeps the screen on through the Wayland compositor: while held, an inhibitor of the
// compositor's idle-inhibit protocol (zwp_idle_inhibit_manager_v1) sits on the window's
// surface, and the compositor neither blanks nor locks the output while the window is seen.
// Whether the compositor offers the protocol is known once the event loop has run (Settled);
// a hold asked for before then, or before the window has a surface, takes effect as soon as
// both are there.

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>

struct wl_surface;
struct zwp_idle_inhibitor_v1;

class WaylandIdleInhibitor : public QObject {
    Q_OBJECT

public:
    // Null unless the program runs on Qt's Wayland platform and was built with its client.
    static std::unique_ptr<WaylandIdleInhibitor> Open(QWidget* window);
    ~WaylandIdleInhibitor() override;  // lets the screen go

    void Hold();
    void Release();

    bool IsSettled() const { return settled_; }
    bool IsOffered() const;  // the compositor has the protocol

signals:
    void Settled();

private:
    class Manager;  // the protocol's global, bound through Qt's Wayland client

    explicit WaylandIdleInhibitor(QWidget* window);
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Puts an inhibitor on the window's current surface, if it is wanted and can be made.
    void TryToHold();
    void DestroyInhibitor();

    QPointer<QWidget> window_;
    std::unique_ptr<Manager> manager_;
    zwp_idle_inhibitor_v1* inhibitor_ = nullptr;
    wl_surface* heldSurface_ = nullptr;  // the surface the inhibitor sits on
    bool wanted_ = false;
    bool settled_ = false;
};
