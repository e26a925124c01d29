#include "platform/qt/dialog_controls.h"

#include "platform/qt/code_page.h"
#include "platform/qt/dialog_edit.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

namespace {

using namespace ControlStyle;

// The size the dialog manager gives an icon control, whatever the template says.
constexpr int IconPixels = 32;

bool Has(std::uint32_t style, std::uint32_t flag) {
    return (style & flag) != 0;
}

// How a static shows its text: "&x" underlines x (here: shows x) and "&&" shows "&".
QString WithoutMnemonics(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

// A static one line high keeps its text on that line and grows to the right where the
// stand-in font is wider than the dialog font the template was made for: wrapped, the rest
// would go to a line below its box, where nobody sees it.
void KeepOnOneLine(QLabel* label) {
    const QFontMetrics metrics(label->font());
    if (label->height() >= 2 * metrics.height())
        return;
    label->setWordWrap(false);
    label->resize(std::max(label->width(), metrics.horizontalAdvance(label->text())), label->height());
}

Qt::FocusPolicy FocusPolicyFor(std::uint32_t style) {
    return Has(style, TabStop) ? Qt::StrongFocus : Qt::ClickFocus;
}

// A read-only edit has the dialog's face colour, not the white of a writable one.
void ShowAsReadOnly(QWidget* edit) {
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
}

QWidget* MakeListBox(const DialogControl& control, QWidget* client) {
    auto* list = new QListWidget(client);
    list->setVerticalScrollBarPolicy(Has(control.style, VScroll) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if (!Has(control.style, Border))
        list->setFrameShape(QFrame::NoFrame);
    return list;
}

}  // namespace

QString DialogText(const char* source) {
    return source != nullptr && *source != '\0' ? TranslatedFromCodePage("Dialog", source) : QString();
}

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    for (QToolButton* button : {up_, down_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, [this] { emit DeltaPos(-1); });
    connect(down_, &QToolButton::clicked, this, [this] { emit DeltaPos(+1); });
}

void UpDownControl::resizeEvent(QResizeEvent*) {
    const int upper = height() / 2;
    up_->setGeometry(0, 0, width(), upper);
    down_->setGeometry(0, upper, width(), height() - upper);
}

DialogControls::DialogControls(std::span<const DialogControl> controls, QWidget* client, DialogBaseUnits units,
                               DialogControlEvents& events)
    : events_(events) {
    controls_.reserve(controls.size());
    for (const DialogControl& control : controls) {
        QWidget* widget = Create(control, client);
        const QRect pixels = DluToPixels(control.rect, units);
        if (control.kind == ControlKind::Icon)
            widget->setGeometry(pixels.x(), pixels.y(), IconPixels, IconPixels);
        else
            widget->setGeometry(pixels);
        widget->setEnabled(!Has(control.style, Disabled));
        widget->setVisible(!Has(control.style, Hidden));
        controls_.push_back({control.id, control.kind, control.style, widget, {}});
        WriteText(controls_.back(), DialogText(control.text));
    }
    // Group boxes lie under the controls they frame, whatever their place in the template.
    for (const Control& control : controls_) {
        if (control.kind == ControlKind::GroupBox)
            control.widget->lower();
    }
}

DialogControls::~DialogControls() {
    destroying_ = true;  // a focused edit reports losing the focus while it is deleted
    for (const Control& control : controls_)
        delete control.widget;
}

QWidget* DialogControls::Create(const DialogControl& control, QWidget* client) {
    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlKind::Static: {
        auto* label = new QLabel(client);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        widget = label;
        break;
    }
    case ControlKind::Edit:
        widget = MakeEdit(control, client);
        if (Has(control.style, ReadOnly))
            ShowAsReadOnly(widget);
        widget->installEventFilter(this);
        break;
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto* button = new QPushButton(client);
        button->setAutoDefault(false);  // the dialog decides what Enter does
        button->setDefault(control.kind == ControlKind::DefPushButton);
        connect(button, &QPushButton::clicked, this, [this, id = control.id] { events_.ControlClicked(id); });
        widget = button;
        break;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(client);
        connect(box, &QCheckBox::clicked, this, [this, id = control.id] { events_.ControlClicked(id); });
        widget = box;
        break;
    }
    case ControlKind::GroupBox:
        widget = new QGroupBox(client);
        widget->setAttribute(Qt::WA_TransparentForMouseEvents);
        break;
    case ControlKind::ListBox:
        widget = MakeListBox(control, client);
        break;
    case ControlKind::Icon: {
        auto* icon = new QLabel(client);
        icon->setPixmap(QApplication::windowIcon().pixmap(IconPixels, IconPixels));
        widget = icon;
        break;
    }
    case ControlKind::UpDown: {
        auto* upDown = new UpDownControl(client);
        connect(upDown, &UpDownControl::DeltaPos, this,
                [this, id = control.id](int delta) { events_.ControlDeltaPos(id, delta); });
        widget = upDown;
        break;
    }
    }
    const bool takesFocus = control.kind == ControlKind::Edit || control.kind == ControlKind::PushButton ||
                            control.kind == ControlKind::DefPushButton || control.kind == ControlKind::CheckBox ||
                            control.kind == ControlKind::ListBox;
    widget->setFocusPolicy(takesFocus ? FocusPolicyFor(control.style) : Qt::NoFocus);
    return widget;
}

const DialogControls::Control* DialogControls::Lookup(int id) const {
    for (const Control& control : controls_) {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}

const DialogControls::Control* DialogControls::Lookup(const QObject* widget) const {
    for (const Control& control : controls_) {
        if (control.widget == widget)
            return &control;
    }
    return nullptr;
}

QWidget* DialogControls::Find(int id) const {
    const Control* control = Lookup(id);
    return control ? control->widget : nullptr;
}

int DialogControls::IdOf(const QWidget* widget) const {
    const Control* control = Lookup(widget);
    return control ? control->id : 0;
}

int DialogControls::PushButtonId(const QWidget* widget) const {
    const Control* control = Lookup(widget);
    if (!control || (control->kind != ControlKind::PushButton && control->kind != ControlKind::DefPushButton))
        return 0;
    return control->id;
}

int DialogControls::DefaultCommand() const {
    for (const Control& control : controls_) {
        if (control.kind == ControlKind::DefPushButton)
            return control.id;
    }
    return IDOK;
}

QWidget* DialogControls::FirstTabStop() const {
    for (const Control& control : controls_) {
        const QWidget* widget = control.widget;
        if ((widget->focusPolicy() & Qt::TabFocus) && !widget->isHidden() && widget->isEnabled())
            return control.widget;
    }
    return nullptr;
}

bool DialogControls::GetText(int id, QString& text) const {
    const Control* control = Lookup(id);
    if (!control)
        return false;
    text = ReadText(*control);
    return true;
}

bool DialogControls::SetText(int id, const QString& text) {
    for (Control& control : controls_) {
        if (control.id == id) {
            WriteText(control, text);
            return true;
        }
    }
    return false;
}

QString DialogControls::ReadText(const Control& control) {
    switch (control.kind) {
    case ControlKind::Edit:
        return EditText(control.widget);
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    case ControlKind::CheckBox:
        return static_cast<const QAbstractButton*>(control.widget)->text();
    case ControlKind::GroupBox:
        return static_cast<const QGroupBox*>(control.widget)->title();
    case ControlKind::Static:
    case ControlKind::ListBox:
    case ControlKind::Icon:
    case ControlKind::UpDown:
        break;
    }
    return control.windowText;
}

void DialogControls::WriteText(Control& control, const QString& text) {
    switch (control.kind) {
    case ControlKind::Edit:
        SetEditText(control.widget, text);
        return;
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    case ControlKind::CheckBox:
        static_cast<QAbstractButton*>(control.widget)->setText(text);
        return;
    case ControlKind::GroupBox:
        static_cast<QGroupBox*>(control.widget)->setTitle(text);
        return;
    case ControlKind::Static:
        static_cast<QLabel*>(control.widget)->setText(Has(control.style, NoPrefix) ? text : WithoutMnemonics(text));
        KeepOnOneLine(static_cast<QLabel*>(control.widget));
        break;
    case ControlKind::ListBox:
    case ControlKind::Icon:
    case ControlKind::UpDown:
        break;
    }
    control.windowText = text;
}

// The up-down control whose arrow keys the edit at `control` takes: the one right after it
// in the template, when it has ControlStyle::ArrowKeys.
const DialogControls::Control* DialogControls::ArrowKeysBuddy(const Control& control) const {
    const auto next = controls_.begin() + (&control - controls_.data()) + 1;
    if (next == controls_.end() || next->kind != ControlKind::UpDown || !Has(next->style, ArrowKeys))
        return nullptr;
    return &*next;
}

bool DialogControls::eventFilter(QObject* watched, QEvent* event) {
    const Control* control = destroying_ ? nullptr : Lookup(watched);
    if (!control)
        return false;
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // A context menu of the edit does not move the keyboard focus away from it.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            events_.EditFocusChanged(control->id, event->type() == QEvent::FocusIn);
        return false;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        // Ctrl+Enter stays in the box: it breaks the line there.
        if (Has(control->style, MultiLine) && enter && !(modifiers & Qt::ControlModifier)) {
            events_.EnterInMultiLineEdit();
            return true;
        }
        const bool arrow = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down;
        if (arrow && modifiers == Qt::NoModifier) {
            if (const Control* upDown = ArrowKeysBuddy(*control)) {
                events_.ControlDeltaPos(upDown->id, key->key() == Qt::Key_Up ? -1 : +1);
                return true;
            }
        }
        return false;
    }
    default:
        return false;
    }
}
