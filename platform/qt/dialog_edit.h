#pragma once
// The edit controls of a dialog: a single-line box on SingleLineEdit, a multi-line one on
// MultiLineEdit, and the operations a dialog performs on either (window text, text limit,
// lines). A text limit holds back what the user types or pastes, never a text the program
// sets, as an edit control's limit does: a paste longer than the room left keeps the part
// that fits.

#include "platform/qt/dialog_template.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>

class QWidget;

// A single-line edit box. Its limit is QLineEdit's maximum length, which cuts what the user
// types or pastes to the room left. A longer text that the program sets raises it to that
// text's length, so that the text stays whole: the user may shorten it and lengthen it again
// up to that length, not beyond.
class SingleLineEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit SingleLineEdit(QWidget* parent) : QLineEdit(parent) {}

    // The most characters the user may bring in; 0 for no limit.
    void SetLimit(int limit);
    // Shown from its beginning; not held to the limit.
    void SetWindowText(const QString& text);

private:
    // The maximum length for the limit and a text of `held` characters in the box.
    void ApplyLimit(qsizetype held);

    int limit_ = 0;
};

// A multi-line edit box. Its window text joins the lines with "\r\n", so a line break counts
// two characters against the limit. Without a want-return style Enter belongs to the dialog;
// Ctrl+Enter breaks the line, as it does in such a box.
class MultiLineEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    MultiLineEdit(QWidget* parent, bool upperCase);

    // The most characters the user may bring in; 0 for no limit.
    void SetLimit(int limit) { limit_ = limit; }
    // Lines joined by "\r\n"; setting it is not held to the limit.
    QString WindowText() const;
    void SetWindowText(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // The window text's length, CR LF counted as two.
    int WindowTextLength() const;
    // Puts `text` in place of the selection, cut to what the limit leaves room for.
    void InsertTyped(QString text);

    bool upperCase_;
    int limit_ = 0;
};

// An edit box for the control: multi-line with ControlStyle::MultiLine, else single-line.
QWidget* MakeEdit(const DialogControl& control, QWidget* client);

// The window text of an edit box (lines joined by "\r\n") and its replacement.
QString EditText(const QWidget* edit);
void SetEditText(QWidget* edit, const QString& text);
// The limit on what the user types or pastes; 0 lifts it. A longer text that the box holds
// stays whole.
void SetEditLimit(QWidget* edit, int limit);
// A single-line box has one line.
int EditLineCount(const QWidget* edit);
// The text of a line without its line break; false when there is no such line.
bool EditLine(const QWidget* edit, int line, QString& text);
