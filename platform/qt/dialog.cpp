#include "platform/qt/dialog.h"

#include "platform/qt/code_page.h"
#include "platform/qt/dialog_edit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// The raised double border of a child dialog with a caption or a modal frame.
constexpr int DialogFramePixels = 3;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A whole number as the dialog manager reads one from a control; false for anything else.
bool ParseWholeNumber(std::string_view text, bool isSigned, int& value) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || (isSigned && text[i] == '-'))) {
        negative = text[i] == '-';
        ++i;
    }
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    const std::size_t firstDigit = i;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit)
            return false;
    }
    if (i == firstDigit)
        return false;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    if (i != text.size())
        return false;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

// Copies at most capacity - 1 characters of `text` and a NUL; answers the number copied.
int CopyToBuffer(const QString& text, char* buffer, int capacity) {
    const std::string bytes = ToCodePage(text);
    const std::size_t count = std::min(bytes.size(), static_cast<std::size_t>(capacity) - 1);
    std::memcpy(buffer, bytes.data(), count);
    buffer[count] = '\0';
    return static_cast<int>(count);
}

// Where a child window may lie: wholly inside its parent's client area where it fits,
// else at the area's top-left corner.
QPoint KeptInsideParent(const QWidget& child, QPoint wanted) {
    const QRect area = child.parentWidget()->contentsRect();
    const int right = std::max(area.left(), area.left() + area.width() - child.width());
    const int bottom = std::max(area.top(), area.top() + area.height() - child.height());
    return {std::clamp(wanted.x(), area.left(), right), std::clamp(wanted.y(), area.top(), bottom)};
}

}  // namespace

// The caption of a child dialog, which has no window-manager title bar: the dialog's title
// in the active caption colours, and dragging it moves the dialog within its parent.
class CDialog::CaptionBar : public QWidget {
public:
    CaptionBar(CDialog* dialog, const QString& title) : QWidget(dialog), dialog_(dialog), title_(title) {
        setObjectName(QStringLiteral("DialogCaption"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Highlight));
        painter.setPen(palette().color(QPalette::HighlightedText));
        const QRect textArea = rect().adjusted(2, 0, -2, 0);
        painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(title_, Qt::ElideRight, textArea.width()));
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton)
            return QWidget::mousePressEvent(event);
        dragging_ = true;
        grabOrigin_ = event->globalPosition().toPoint();
        startPosition_ = dialog_->pos();
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        if (!dragging_)
            return QWidget::mouseMoveEvent(event);
        const QPoint moved = startPosition_ + (event->globalPosition().toPoint() - grabOrigin_);
        dialog_->move(KeptInsideParent(*dialog_, moved));
    }

    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton)
            dragging_ = false;
        QWidget::mouseReleaseEvent(event);
    }

private:
    CDialog* dialog_;
    QString title_;
    bool dragging_ = false;
    QPoint grabOrigin_;
    QPoint startPosition_;
};

CDialog::CDialog(const DialogTemplate& dialogTemplate, QWidget* parentWnd) : CDialog(&dialogTemplate, parentWnd) {}

CDialog::CDialog(const DialogTemplate* dialogTemplate, QWidget* parentWnd)
    : template_(dialogTemplate), parentWnd_(parentWnd) {
    setAttribute(Qt::WA_QuitOnClose, false);
    // A click on a child dialog itself gives it the focus (OnSetFocus). A popup keeps the focus
    // where it is on a click on its face or on a control that takes none, such as a spin
    // button: the box beside it must not lose the focus to it.
    setFocusPolicy(IsChild() ? Qt::ClickFocus : Qt::NoFocus);
}

CDialog::~CDialog() = default;

int CDialog::TemplateId() const {
    return template_ ? template_->id : 0;
}

bool CDialog::IsChild() const {
    return template_ && (template_->style & DialogStyle::Child);
}

int CDialog::FrameWidth() const {
    return IsChild() && (template_->style & (DialogStyle::Caption | DialogStyle::ModalFrame)) ? DialogFramePixels : 0;
}

bool CDialog::MakeWindow(QWidget* parentWnd) {
    if (!template_ || controls_ || (IsChild() && !parentWnd))
        return false;
    font_ = MakeDialogFont(template_->font);
    units_ = MeasureDialogBaseUnits(font_);
    setFont(font_);

    const std::uint32_t style = template_->style;
    const QSize clientSize(DluToPixelsX(template_->rect.cx, units_), DluToPixelsY(template_->rect.cy, units_));
    const int frame = FrameWidth();
    int captionHeight = 0;
    if (IsChild()) {
        setParent(parentWnd, Qt::Widget);
        setAutoFillBackground(true);
        if (style & DialogStyle::Caption) {
            captionHeight = units_.cy + 2;
            captionBar_ = new CaptionBar(this, DialogText(template_->caption));
            captionBar_->setGeometry(frame, frame, clientSize.width(), captionHeight);
        }
        move(parentWnd->contentsRect().topLeft() +
             QPoint(DluToPixelsX(template_->rect.x, units_), DluToPixelsY(template_->rect.y, units_)));
    } else {
        Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint;
        if (style & DialogStyle::Caption)
            flags |= Qt::WindowTitleHint;
        if (style & DialogStyle::SystemMenu)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (style & DialogStyle::ToolWindow)
            flags |= Qt::Tool;
        setParent(parentWnd, flags);
        setWindowTitle(DialogText(template_->caption));
    }
    client_ = new QWidget(this);
    client_->setGeometry(frame, frame + captionHeight, clientSize.width(), clientSize.height());
    setFixedSize(clientSize.width() + 2 * frame, clientSize.height() + 2 * frame + captionHeight);
    DialogControlEvents& events = *this;
    controls_ = std::make_unique<DialogControls>(template_->controls, client_, units_, events);
    hide();  // explicitly, so that showing the parent does not show a child dialog
    return true;
}

bool CDialog::Create(QWidget* parentWnd) {
    if (!MakeWindow(parentWnd ? parentWnd : parentWnd_))
        return false;
    if (OnInitDialog() && !IsChild() && controls_->FirstTabStop())
        controls_->FirstTabStop()->setFocus(Qt::TabFocusReason);
    return true;
}

int CDialog::DoModal() {
    if (IsChild() || !MakeWindow(parentWnd_))
        return -1;
    if (OnInitDialog() && controls_->FirstTabStop())
        controls_->FirstTabStop()->setFocus(Qt::TabFocusReason);
    const int result = exec();
    DestroyWindow();
    return result;
}

void CDialog::EndDialog(int result) {
    done(result);
}

void CDialog::DestroyWindow() {
    hide();
    controls_.reset();
    delete client_;
    client_ = nullptr;
    delete captionBar_;
    captionBar_ = nullptr;
    units_ = {};
}

bool CDialog::IsWindowVisible() const {
    return isVisible();
}

void CDialog::ShowWindow(bool show) {
    setVisible(show);
}

QWidget* CDialog::GetDlgItem(int id) const {
    return controls_ ? controls_->Find(id) : nullptr;
}

bool CDialog::SetDlgItemText(int id, const char* text) {
    return SetDlgItemText(id, FromCodePage(text ? text : ""));
}

bool CDialog::SetDlgItemText(int id, const QString& text) {
    return controls_ && controls_->SetText(id, text);
}

int CDialog::GetDlgItemText(int id, char* buffer, int capacity) const {
    if (!buffer || capacity <= 0)
        return 0;
    buffer[0] = '\0';
    QString text;
    if (!controls_ || !controls_->GetText(id, text))
        return 0;
    return CopyToBuffer(text, buffer, capacity);
}

bool CDialog::SetDlgItemInt(int id, int value, bool isSigned) {
    const std::string text = isSigned ? std::to_string(value) : std::to_string(static_cast<unsigned>(value));
    return SetDlgItemText(id, text.c_str());
}

int CDialog::GetDlgItemInt(int id, bool* translated, bool isSigned) const {
    if (translated)
        *translated = false;
    QString text;
    int value = 0;
    if (!controls_ || !controls_->GetText(id, text) || !ParseWholeNumber(ToCodePage(text), isSigned, value))
        return 0;
    if (translated)
        *translated = true;
    return value;
}

void CDialog::CheckDlgButton(int id, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id)))
        button->setChecked(checked);
}

bool CDialog::IsDlgButtonChecked(int id) const {
    const auto* button = qobject_cast<const QAbstractButton*>(GetDlgItem(id));
    return button && button->isChecked();
}

// A control disabled while it has the focus keeps it until the handler moves it on. Qt would
// pass the focus along the tab chain at once, through boxes whose focus-loss checks would run
// although the user never left them; the client area holds it meanwhile instead: it reports
// nothing, and Enter and Esc pressed there still reach the dialog.
bool CDialog::EnableDlgItem(int id, bool enable) {
    QWidget* control = GetDlgItem(id);
    if (!control)
        return false;
    const QWidget* focused = control->window()->focusWidget();
    if (!enable && focused && (focused == control || control->isAncestorOf(focused)))
        client_->setFocus(Qt::OtherFocusReason);
    control->setEnabled(enable);
    return true;
}

bool CDialog::ShowDlgItem(int id, bool show) {
    QWidget* control = GetDlgItem(id);
    if (control)
        control->setVisible(show);
    return control != nullptr;
}

bool CDialog::GotoDlgCtrl(int id) {
    QWidget* control = GetDlgItem(id);
    if (control)
        control->setFocus(Qt::OtherFocusReason);
    return control != nullptr;
}

int CDialog::GetFocusDlgItem() const {
    return controls_ ? controls_->IdOf(QApplication::focusWidget()) : 0;
}

DialogListBox CDialog::ListBox(int id) const {
    return DialogListBox(qobject_cast<QListWidget*>(GetDlgItem(id)));
}

bool CDialog::LimitDlgItemText(int id, int limit) {
    QWidget* edit = GetDlgItem(id);
    if (EditLineCount(edit) == 0)
        return false;
    SetEditLimit(edit, limit);
    return true;
}

int CDialog::GetDlgItemLineCount(int id) const {
    return EditLineCount(GetDlgItem(id));
}

int CDialog::GetDlgItemLine(int id, int line, char* buffer, int capacity) const {
    if (!buffer || capacity <= 0)
        return 0;
    buffer[0] = '\0';
    QString text;
    if (!EditLine(GetDlgItem(id), line, text))
        return 0;
    return CopyToBuffer(text, buffer, capacity);
}

bool CDialog::OnInitDialog() {
    return true;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnCommand(int id) {
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
}

void CDialog::OnEditSetFocus(int) {}

void CDialog::OnEditKillFocus(int) {}

void CDialog::OnDeltaPos(int, int) {}

void CDialog::OnSetFocus() {}

void CDialog::ControlClicked(int id) {
    OnCommand(id);
}

void CDialog::ControlDeltaPos(int id, int delta) {
    OnDeltaPos(id, delta);
}

void CDialog::EditFocusChanged(int id, bool gained) {
    if (gained)
        OnEditSetFocus(id);
    else
        OnEditKillFocus(id);
}

void CDialog::EnterInMultiLineEdit() {
    PressEnter();
}

// A focused push button gives its own command; otherwise the default command goes out,
// even when its button is disabled, and the handler decides what it means.
void CDialog::PressEnter() {
    if (!controls_)
        return;
    const int focusedButton = controls_->PushButtonId(QApplication::focusWidget());
    OnCommand(focusedButton != 0 ? focusedButton : controls_->DefaultCommand());
}

void CDialog::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            PressEnter();
            return;
        case Qt::Key_Escape:
            OnCommand(IDCANCEL);
            return;
        default:
            break;
        }
    }
    QWidget::keyPressEvent(event);  // not QDialog's: Enter and Esc are handled above
}

void CDialog::focusInEvent(QFocusEvent* event) {
    QDialog::focusInEvent(event);
    OnSetFocus();
}

void CDialog::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (FrameWidth() > 0) {
        QPainter painter(this);
        qDrawWinPanel(&painter, rect(), palette(), false);
    }
}

void CDialog::reject() {
    OnCommand(IDCANCEL);
}
