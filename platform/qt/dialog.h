#pragma once
// The dialog window of the framework on Qt: built from a dialog template, modal or
// modeless, its controls addressed by identifier, its commands routed to overridable
// handlers. Enter gives the default command (IDOK), Esc and the close box IDCANCEL.

#include "platform/qt/dialog_controls.h"
#include "platform/qt/dialog_list_box.h"
#include "platform/qt/dialog_template.h"
#include "platform/qt/dialog_units.h"

#include <QDialog>
#include <QFont>

#include <memory>

class CDialog : public QDialog, private DialogControlEvents {
    Q_OBJECT

public:
    // From a template held elsewhere (the program's resources), which must outlive the
    // dialog. `parentWnd` is the parent of a modal run, and of a modeless window when Create
    // is given none. A null template (one the resources do not hold) makes Create fail and
    // DoModal answer -1.
    explicit CDialog(const DialogTemplate* dialogTemplate, QWidget* parentWnd = nullptr);
    explicit CDialog(const DialogTemplate& dialogTemplate, QWidget* parentWnd = nullptr);
    ~CDialog() override;

    // Makes the modeless window, hidden: a child template becomes a child widget of the
    // parent, placed in its client area (inside its frame). Runs OnInitDialog. False
    // when the template is unknown, the window exists already, or a child has no parent.
    bool Create(QWidget* parentWnd = nullptr);
    // Makes the window of a popup template, runs it modally and destroys it again;
    // answers the value given to EndDialog, or -1 when the window cannot be made.
    int DoModal();
    // Ends a modal run with `result`; hides a modeless window, which stays in existence.
    void EndDialog(int result);
    // Hides the window and deletes its controls; Create can make it again.
    void DestroyWindow();

    // Whether the window and all its parents are shown.
    bool IsWindowVisible() const;
    void ShowWindow(bool show);

    QWidget* GetDlgItem(int id) const;
    // False when there is no control with this identifier. A null text counts as empty.
    bool SetDlgItemText(int id, const char* text);
    bool SetDlgItemText(int id, const QString& text);  // a text already in the display language
    // Copies at most capacity - 1 characters and a NUL; answers the number copied.
    int GetDlgItemText(int id, char* buffer, int capacity) const;
    bool SetDlgItemInt(int id, int value, bool isSigned = true);
    // The text as a whole number: optional blanks, an optional sign ('-' only when
    // signed), digits, optional blanks, within the range of an int (0 to INT_MAX unsigned).
    // Anything else answers 0 and sets *translated to false.
    int GetDlgItemInt(int id, bool* translated = nullptr, bool isSigned = true) const;
    void CheckDlgButton(int id, bool checked);
    bool IsDlgButtonChecked(int id) const;
    // Disabling the control that has the focus leaves the focus with the dialog, in no other
    // control, until the caller moves it.
    bool EnableDlgItem(int id, bool enable);
    bool ShowDlgItem(int id, bool show);
    // Gives the control the keyboard focus.
    bool GotoDlgCtrl(int id);
    // The identifier of the control that has the keyboard focus; 0 when none of ours has it
    // (also while the dialog holds it for a disabled control).
    int GetFocusDlgItem() const;

    // The list box `id` for the list box operations.
    DialogListBox ListBox(int id) const;
    // The most characters the user may type or paste into edit box `id` (0: no limit); in a
    // multi-line box a line break counts two, CR and LF. Texts the program sets are not cut.
    bool LimitDlgItemText(int id, int limit);
    // The lines of edit box `id` (a single-line box has one; 0 for no edit box), and the text
    // of one line without its line break, copied as GetDlgItemText copies (0 for no such line).
    int GetDlgItemLineCount(int id) const;
    int GetDlgItemLine(int id, int line, char* buffer, int capacity) const;

    int TemplateId() const;
    // The measured units of the dialog font; zero before the window exists.
    DialogBaseUnits BaseUnits() const { return units_; }
    // The widget the controls lie in, inside frame and caption; null before the window exists.
    QWidget* ClientArea() const { return client_; }

protected:
    // After the controls exist and before the window is shown. True: the focus goes to
    // the first tab stop (of a popup; a child dialog leaves the focus where it is).
    virtual bool OnInitDialog();
    virtual void OnOK();      // ends the dialog with IDOK
    virtual void OnCancel();  // ends the dialog with IDCANCEL
    // Every command: Enter, Esc, the close box, push button and check box clicks. IDOK and
    // IDCANCEL go to OnOK and OnCancel; an override passes on what it does not handle.
    virtual void OnCommand(int id);
    virtual void OnEditSetFocus(int id);
    virtual void OnEditKillFocus(int id);
    // A click on an up-down control: -1 for up, +1 for down.
    virtual void OnDeltaPos(int id, int delta);
    // The dialog window itself (not one of its controls) received the keyboard focus.
    virtual void OnSetFocus();

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The close box and QDialog's own cancel paths become the IDCANCEL command.
    void reject() override;

private:
    class CaptionBar;

    void ControlClicked(int id) override;
    void ControlDeltaPos(int id, int delta) override;
    void EditFocusChanged(int id, bool gained) override;
    void EnterInMultiLineEdit() override;

    bool IsChild() const;
    int FrameWidth() const;
    bool MakeWindow(QWidget* parentWnd);
    void PressEnter();

    const DialogTemplate* template_;
    QWidget* parentWnd_;
    QFont font_;
    DialogBaseUnits units_;
    CaptionBar* captionBar_ = nullptr;
    QWidget* client_ = nullptr;
    std::unique_ptr<DialogControls> controls_;
};
