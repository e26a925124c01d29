#pragma once
// Dialog templates as data: what a dialog resource holds. Positions and sizes are in dialog
// units (a quarter of the dialog font's average letter width across, an eighth of its
// height down); CDialog builds the window from them.

#include <cstdint>
#include <span>

// Identifiers the dialogs and message boxes share.
inline constexpr int IDC_STATIC = -1;  // a control that is never addressed
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// A rectangle in dialog units.
struct DluRect {
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

enum class ControlKind {
    Static,  // left-aligned text
    Edit,    // single-line, or multi-line with ControlStyle::MultiLine
    PushButton,
    DefPushButton,  // the push button whose command Enter gives
    CheckBox,       // automatic: a click toggles it
    GroupBox,       // frame and title around other controls; takes no clicks
    ListBox,
    Icon,    // the program's icon (128) at its natural 32 x 32 pixels; cx and cy unused
    UpDown,  // a spin button pair without a buddy
};

// Control styles, or-ed together. A style that does not apply to the kind is ignored.
namespace ControlStyle {
inline constexpr std::uint32_t Hidden = 1u << 0;  // not visible when the dialog is created
inline constexpr std::uint32_t Disabled = 1u << 1;
inline constexpr std::uint32_t TabStop = 1u << 2;      // without it, reached by a click only
inline constexpr std::uint32_t Border = 1u << 3;       // edit and list box frame
inline constexpr std::uint32_t ReadOnly = 1u << 4;     // edit
inline constexpr std::uint32_t AutoHScroll = 1u << 5;  // edit: multi-line ones do not wrap
inline constexpr std::uint32_t Password = 1u << 6;     // single-line edit: typed characters masked
inline constexpr std::uint32_t MultiLine = 1u << 7;    // edit
inline constexpr std::uint32_t VScroll = 1u << 8;      // multi-line edit and list box: scroll bar as needed
inline constexpr std::uint32_t NoPrefix = 1u << 9;     // static: '&' shown as it stands, not as a mnemonic
inline constexpr std::uint32_t Centered = 1u << 10;    // edit: each line centred
inline constexpr std::uint32_t UpperCase = 1u << 11;   // multi-line edit: letters become capitals as they come in
// Up-down: the Up and Down keys in the control just before it in the template (the box it
// sits beside) press its arrows.
inline constexpr std::uint32_t ArrowKeys = 1u << 12;
}  // namespace ControlStyle

struct DialogControl {
    int id = IDC_STATIC;
    ControlKind kind = ControlKind::Static;
    const char* text = "";  // in the system code page
    DluRect rect;
    std::uint32_t style = 0;
};

// Dialog styles, or-ed together.
namespace DialogStyle {
inline constexpr std::uint32_t Child = 1u << 0;  // a child window of its parent; otherwise a popup
inline constexpr std::uint32_t Caption = 1u << 1;
inline constexpr std::uint32_t SystemMenu = 1u << 2;  // popup: a close box in the caption
inline constexpr std::uint32_t ModalFrame = 1u << 3;  // a raised double border
inline constexpr std::uint32_t ToolWindow = 1u << 4;  // a small caption
}  // namespace DialogStyle

struct TemplateFont {
    const char* face = "MS Shell Dlg";  // "MS Shell Dlg" stands for the system's sans-serif
    int pointSize = 8;
};

struct DialogTemplate {
    int id = 0;
    const char* caption = "";
    DluRect rect;  // x, y: position of a child dialog in its parent's client area
    TemplateFont font;
    std::uint32_t style = 0;
    std::span<const DialogControl> controls;  // in template order, which is the tab order
};
