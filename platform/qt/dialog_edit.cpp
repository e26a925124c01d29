#include "platform/qt/dialog_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

using namespace ControlStyle;

bool Has(std::uint32_t style, std::uint32_t flag) {
    return (style & flag) != 0;
}

bool IsLineBreak(QChar c) {
    return c == u'\n' || c == QChar::ParagraphSeparator;  // a selection holds the latter
}

// What a character costs against the limit: a line break stands for CR and LF.
int WindowLength(QChar c) {
    return IsLineBreak(c) ? 2 : 1;
}

int WindowLength(const QString& text) {
    int length = 0;
    for (QChar c : text)
        length += WindowLength(c);
    return length;
}

// A key that brings printable text. Ctrl and Ctrl+Shift keys are the box's shortcuts (paste,
// copy, undo) even where the platform gives them the letter's text, as Qt's own boxes take them.
bool IsTyping(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::ControlModifier || modifiers == (Qt::ControlModifier | Qt::ShiftModifier))
        return false;
    const QString text = event.text();
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

// Capitals where the code page has them: a letter whose capital lies outside it (or is two
// letters, as for the sharp s) stays as it is.
QString UpperInCodePage(const QString& text) {
    QString upper = text;
    for (QChar& c : upper) {
        const QString capital = QString(c).toUpper();
        if (capital.size() == 1 && capital.at(0).unicode() <= 0xFF)
            c = capital.at(0);
    }
    return upper;
}

// Lines as the document holds them: "\r\n" and a lone "\r" become "\n".
QString WithDocumentLineBreaks(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

// QLineEdit's maximum length when none is set.
constexpr int LineEditDefaultMaxLength = 32767;

}  // namespace

void SingleLineEdit::SetLimit(int limit) {
    limit_ = std::max(limit, 0);
    ApplyLimit(text().size());
}

void SingleLineEdit::SetWindowText(const QString& text) {
    ApplyLimit(text.size());
    setText(text);
    setCursorPosition(0);  // a new text shows from its beginning
}

// Only a change is applied: QLineEdit sets its text anew with a new maximum length.
void SingleLineEdit::ApplyLimit(qsizetype held) {
    const int room = limit_ > 0 ? limit_ : LineEditDefaultMaxLength;
    const int wanted = static_cast<int>(std::max<qsizetype>(room, held));
    if (wanted != maxLength())
        setMaxLength(wanted);
}

MultiLineEdit::MultiLineEdit(QWidget* parent, bool upperCase) : QPlainTextEdit(parent), upperCase_(upperCase) {}

QString MultiLineEdit::WindowText() const {
    return toPlainText().replace(u'\n', QStringLiteral("\r\n"));
}

void MultiLineEdit::SetWindowText(const QString& text) {
    const QString lines = WithDocumentLineBreaks(text);
    setPlainText(upperCase_ ? UpperInCodePage(lines) : lines);
}

int MultiLineEdit::WindowTextLength() const {
    return WindowLength(toPlainText());
}

void MultiLineEdit::InsertTyped(QString text) {
    if (upperCase_)
        text = UpperInCodePage(text);
    QTextCursor cursor = textCursor();
    if (limit_ > 0) {
        int room = limit_ - (WindowTextLength() - WindowLength(cursor.selectedText()));
        qsizetype fits = 0;
        for (; fits < text.size() && WindowLength(text.at(fits)) <= room; ++fits)
            room -= WindowLength(text.at(fits));
        if (fits == 0 && !text.isEmpty()) {
            QApplication::beep();
            return;
        }
        text.truncate(fits);
    }
    cursor.insertText(text);
    setTextCursor(cursor);
    ensureCursorVisible();
}

void MultiLineEdit::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ControlModifier) && !isReadOnly())
        return InsertTyped(QStringLiteral("\n"));
    if (IsTyping(*event) && !isReadOnly())
        return InsertTyped(event->text());
    QPlainTextEdit::keyPressEvent(event);
}

void MultiLineEdit::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText())
        InsertTyped(WithDocumentLineBreaks(source->text()));
}

QWidget* MakeEdit(const DialogControl& control, QWidget* client) {
    const std::uint32_t style = control.style;
    if (Has(style, MultiLine)) {
        auto* edit = new MultiLineEdit(client, Has(style, UpperCase));
        edit->setLineWrapMode(Has(style, AutoHScroll) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
        edit->setVerticalScrollBarPolicy(Has(style, VScroll) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setTabChangesFocus(true);
        edit->setReadOnly(Has(style, ReadOnly));
        if (Has(style, Centered)) {
            QTextOption option = edit->document()->defaultTextOption();
            option.setAlignment(Qt::AlignHCenter);
            edit->document()->setDefaultTextOption(option);
        }
        if (!Has(style, Border))
            edit->setFrameShape(QFrame::NoFrame);
        return edit;
    }
    auto* edit = new SingleLineEdit(client);
    edit->setFrame(Has(style, Border));
    edit->setReadOnly(Has(style, ReadOnly));
    if (Has(style, Password))
        edit->setEchoMode(QLineEdit::Password);
    if (Has(style, Centered))
        edit->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return edit;
}

QString EditText(const QWidget* edit) {
    if (const auto* line = qobject_cast<const QLineEdit*>(edit))
        return line->text();
    if (const auto* lines = qobject_cast<const MultiLineEdit*>(edit))
        return lines->WindowText();
    return {};
}

void SetEditText(QWidget* edit, const QString& text) {
    if (auto* line = qobject_cast<SingleLineEdit*>(edit))
        line->SetWindowText(text);
    else if (auto* lines = qobject_cast<MultiLineEdit*>(edit))
        lines->SetWindowText(text);
}

void SetEditLimit(QWidget* edit, int limit) {
    if (auto* line = qobject_cast<SingleLineEdit*>(edit))
        line->SetLimit(limit);
    else if (auto* lines = qobject_cast<MultiLineEdit*>(edit))
        lines->SetLimit(std::max(limit, 0));
}

int EditLineCount(const QWidget* edit) {
    if (const auto* lines = qobject_cast<const MultiLineEdit*>(edit))
        return lines->blockCount();  // no word wrap in our dialogs: a block is a line
    return qobject_cast<const QLineEdit*>(edit) ? 1 : 0;
}

bool EditLine(const QWidget* edit, int line, QString& text) {
    if (line < 0 || line >= EditLineCount(edit))
        return false;
    if (const auto* lines = qobject_cast<const MultiLineEdit*>(edit))
        text = lines->document()->findBlockByNumber(line).text();
    else
        text = static_cast<const QLineEdit*>(edit)->text();
    return true;
}
