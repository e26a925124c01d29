#pragma once
// The controls of a dialog template as Qt widgets, placed by dialog units and addressed by
// identifier, with the text of each kind of control read and written the one way.

#include "platform/qt/dialog_template.h"
#include "platform/qt/dialog_units.h"

#include <QObject>
#include <QString>
#include <QWidget>

#include <vector>

// A template's caption or control text in the display's language: the English source looked
// up in the installed catalogues under the context "Dialog" (empty stays empty).
QString DialogText(const char* source);

class QToolButton;

// What the controls report to their dialog.
class DialogControlEvents {
public:
    virtual void ControlClicked(int id) = 0;                 // push button or check box
    virtual void ControlDeltaPos(int id, int delta) = 0;     // up-down: -1 for up, +1 for down
    virtual void EditFocusChanged(int id, bool gained) = 0;  // edit gained or lost the focus
    virtual void EnterInMultiLineEdit() = 0;                 // Enter goes to the dialog

protected:
    ~DialogControlEvents() = default;
};

// A spin button pair without a buddy. Up proposes a change of -1 and down one of +1, as
// an up-down control with its default range (100 down to 0) does; it keeps no position.
class UpDownControl : public QWidget {
    Q_OBJECT

public:
    explicit UpDownControl(QWidget* parent);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

signals:
    void DeltaPos(int delta);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
};

class DialogControls : public QObject {
public:
    DialogControls(std::span<const DialogControl> controls, QWidget* client, DialogBaseUnits units,
                   DialogControlEvents& events);
    ~DialogControls() override;
    DialogControls(const DialogControls&) = delete;
    DialogControls& operator=(const DialogControls&) = delete;

    // The first control with this identifier, or null.
    QWidget* Find(int id) const;
    // The identifier of the control that is this widget, or 0.
    int IdOf(const QWidget* widget) const;
    // The identifier of a push button of the dialog, or 0 for any other widget.
    int PushButtonId(const QWidget* widget) const;
    // The command Enter gives when no push button has the focus: the default push
    // button's identifier, or IDOK when the template has none.
    int DefaultCommand() const;
    // The first control in template order that Tab reaches and that is shown and enabled.
    QWidget* FirstTabStop() const;

    // The control's window text: an edit's contents (lines joined by "\r\n"), a button's or
    // static's label as given (with its '&'), a group box's title.
    bool GetText(int id, QString& text) const;
    bool SetText(int id, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Control {
        int id;
        ControlKind kind;
        std::uint32_t style;
        QWidget* widget;
        QString windowText;  // what a static, list box, icon or up-down control holds
    };

    QWidget* Create(const DialogControl& control, QWidget* client);
    const Control* Lookup(int id) const;
    const Control* Lookup(const QObject* widget) const;
    const Control* ArrowKeysBuddy(const Control& control) const;
    static QString ReadText(const Control& control);
    static void WriteText(Control& control, const QString& text);

    std::vector<Control> controls_;
    DialogControlEvents& events_;
    bool destroying_ = false;
};
