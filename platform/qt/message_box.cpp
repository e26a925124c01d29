#include "platform/qt/message_box.h"

#include "platform/qt/code_page.h"

#include <QKeyEvent>
#include <QMessageBox>

#include <utility>

namespace {

MessageBoxHandler& CurrentHandler() {
    static MessageBoxHandler handler;
    return handler;
}

// A box without Cancel and with more than an OK button ignores Esc and its close box.
class MessageBoxWindow : public QMessageBox {
public:
    MessageBoxWindow(QWidget* owner, bool escapable) : QMessageBox(owner), escapable_(escapable) {
        setAttribute(Qt::WA_QuitOnClose, false);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!escapable_ && event->key() == Qt::Key_Escape)
            return event->accept();
        QMessageBox::keyPressEvent(event);
    }

    void closeEvent(QCloseEvent* event) override {
        if (!escapable_)
            return event->ignore();
        QMessageBox::closeEvent(event);
    }

private:
    bool escapable_;
};

QMessageBox::StandardButtons ButtonsFor(std::uint32_t type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MB_YESNOCANCEL:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MB_YESNO:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::StandardButton FirstButton(std::uint32_t type) {
    switch (type & MB_TYPEMASK) {
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return QMessageBox::Yes;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconFor(std::uint32_t type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int AnswerFor(int button) {
    switch (button) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

// `text` with each "%1" to "%9" replaced by its argument, in one pass: an argument that holds
// "%2" itself stays as it is.
QString WithArguments(const QString& text, const std::vector<std::string>& args) {
    QString filled;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int number = i + 1 < text.size() ? text[i + 1].digitValue() : -1;
        if (text[i] == u'%' && number >= 1 && static_cast<std::size_t>(number) <= args.size()) {
            filled += FromCodePage(args[number - 1]);
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(CurrentHandler(), std::move(handler));
}

int MessageBox(QWidget* owner, const char* text, const char* caption, std::uint32_t type,
               const std::vector<std::string>& args) {
    const char* source = text ? text : "";
    const char* title = caption ? caption : QT_TRANSLATE_NOOP("MessageBox", "Error");
    MessageBoxRequest request{owner, ToCodePage(WithArguments(FromCodePage(source), args)), title, type};
    if (const MessageBoxHandler& handler = CurrentHandler())
        return handler(request);

    const QMessageBox::StandardButtons buttons = ButtonsFor(type);
    const bool escapable = buttons.testFlag(QMessageBox::Cancel) || buttons == QMessageBox::Ok;
    MessageBoxWindow box(owner, escapable);
    box.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    box.setIcon(IconFor(type));
    box.setWindowTitle(TranslatedFromCodePage("MessageBox", title));
    box.setText(WithArguments(TranslatedFromCodePage("MessageBox", source), args));
    box.setTextFormat(Qt::PlainText);
    box.setStandardButtons(buttons);
    box.setDefaultButton(FirstButton(type));
    return AnswerFor(box.exec());
}
