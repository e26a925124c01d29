#include "platform/qt/dialog_edit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QValidator>

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

// The text limit of a single-line box: QLineEdit's own maximum length would also cut a
// longer text that the program sets, and with it the value the box shows.
class LimitValidator : public QValidator {
public:
    LimitValidator(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}

    State validate(QString& input, int&) const override { return input.size() <= limit_ ? Acceptable : Invalid; }

private:
    int limit_;
};

}  // namespace

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
    const QString text = event->text();
    const bool printable =
        !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
    if (printable && !isReadOnly())
        return InsertTyped(text);
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
    auto* edit = new QLineEdit(client);
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
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        line->setText(text);
        line->setCursorPosition(0);  // a new text shows from its beginning
    } else if (auto* lines = qobject_cast<MultiLineEdit*>(edit)) {
        lines->SetWindowText(text);
    }
}

void SetEditLimit(QWidget* edit, int limit) {
    if (auto* line = qobject_cast<QLineEdit*>(edit)) {
        const QValidator* previous = line->validator();
        line->setValidator(limit > 0 ? new LimitValidator(limit, line) : nullptr);
        delete previous;  // only a limit sets a validator
    } else if (auto* lines = qobject_cast<MultiLineEdit*>(edit)) {
        lines->SetLimit(std::max(limit, 0));
    }
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
