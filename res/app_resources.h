#pragma once
// The application's resources: string table, menu 128, accelerator table 128, icon 128.

#include <QIcon>
#include <Qt>

#include <string_view>
#include <vector>

// Command identifiers.
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_NEXT_PANE = 57680;
inline constexpr int ID_PREV_PANE = 57681;
inline constexpr int ID_VIEW_FULLSCREEN = 32771;
inline constexpr int ID_OPTIONS_CONFIGURE = 32775;
inline constexpr int ID_OPTIONS_DIAGNOSTICS = 32780;
inline constexpr int ID_VIEW_HISTORY = 32781;

// String table entries.
inline constexpr int IDR_MAINFRAME = 128;  // the frame's title; also menu, accelerators and icon 128
inline constexpr int AFX_IDS_APP_TITLE = 57344;
inline constexpr int IDP_OLE_INIT_FAILED = 100;
inline constexpr int IDP_SOCKETS_INIT_FAILED = 104;

// The text of a string-table entry; empty for an unknown identifier.
std::string_view LoadStringResource(int id);

struct MenuItemResource {
    const char* text;  // "&Mnemonic" and "\tkey" as shown, in English: the frame translates it
    int command;
};

struct MenuPopupResource {
    const char* text;
    std::vector<MenuItemResource> items;
};

// Menu 128, in order.
const std::vector<MenuPopupResource>& MainMenuResource();

struct AcceleratorResource {
    enum Kind { VirtualKey, Character };
    Kind kind;
    int key;  // a Qt::Key for a virtual key, the typed character (case-sensitive) otherwise
    Qt::KeyboardModifiers modifiers;
    int command;
};

// Accelerator table 128, in order.
const std::vector<AcceleratorResource>& AcceleratorTableResource();

// The command an accelerator gives for a key press, or 0. `text` is what the key typed.
int TranslateAccelerator(int key, Qt::KeyboardModifiers modifiers, std::string_view text);

// Icon 128 in all its sizes.
QIcon LoadIconResource();
