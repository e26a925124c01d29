#pragma once
// The one message box of the program: owner, text, caption, buttons and icon in, the
// button pressed out. Tests answer it through a handler instead of a window.

#include "platform/qt/dialog_template.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QWidget;

// Buttons.
inline constexpr std::uint32_t MB_OK = 0x0;
inline constexpr std::uint32_t MB_OKCANCEL = 0x1;
inline constexpr std::uint32_t MB_YESNOCANCEL = 0x3;
inline constexpr std::uint32_t MB_YESNO = 0x4;
inline constexpr std::uint32_t MB_TYPEMASK = 0xF;
// Icons.
inline constexpr std::uint32_t MB_ICONERROR = 0x10;
inline constexpr std::uint32_t MB_ICONSTOP = MB_ICONERROR;
inline constexpr std::uint32_t MB_ICONQUESTION = 0x20;
inline constexpr std::uint32_t MB_ICONEXCLAMATION = 0x30;
inline constexpr std::uint32_t MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr std::uint32_t MB_ICONINFORMATION = 0x40;
inline constexpr std::uint32_t MB_ICONMASK = 0xF0;

struct MessageBoxRequest {
    QWidget* owner = nullptr;
    std::string text;
    std::string caption;
    std::uint32_t type = MB_OK;
};

// Answers a message box instead of showing it: IDOK, IDCANCEL, IDYES or IDNO.
using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Sets the handler (an empty one shows real boxes again); answers the one it replaces.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Shows the box modally over its owner (the whole application when there is none) and
// answers the button pressed. A null caption reads "Error". Esc answers IDCANCEL when
// there is a Cancel button, IDOK for an OK box alone, and does nothing otherwise, as does
// the close box then. Texts are in the system code page. Text and caption are English
// sources (marked with QT_TRANSLATE_NOOP("MessageBox", ...)) that the box shows in the display
// language; "%1" to "%9" in the text stand for `args`, which are shown as they are. The
// request a handler sees holds the English text with its arguments in place.
int MessageBox(QWidget* owner, const char* text, const char* caption, std::uint32_t type,
               const std::vector<std::string>& args = {});
