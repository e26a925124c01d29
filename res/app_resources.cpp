#include "res/app_resources.h"

#include "platform/qt/file_icon_engine.h"

#include <QtGlobal>  // QT_TRANSLATE_NOOP

std::string_view LoadStringResource(int id) {
    switch (id) {
    case IDR_MAINFRAME:
    case AFX_IDS_APP_TITLE:
        return "Decimon";
    case IDP_OLE_INIT_FAILED:
        return QT_TRANSLATE_NOOP(
            "MessageBox", "OLE initialization failed.  Make sure that the OLE libraries are the correct version.");
    case IDP_SOCKETS_INIT_FAILED:
        return QT_TRANSLATE_NOOP("MessageBox", "Windows sockets initialization failed.");
    default:
        return {};
    }
}

const std::vector<MenuPopupResource>& MainMenuResource() {
    static const std::vector<MenuPopupResource> menu = {
        {QT_TRANSLATE_NOOP("Menu", "&File"), {{QT_TRANSLATE_NOOP("Menu", "E&xit"), ID_APP_EXIT}}},
        {QT_TRANSLATE_NOOP("Menu", "Options"),
         {{QT_TRANSLATE_NOOP("Menu", "Full Screen\tF"), ID_VIEW_FULLSCREEN},
          {QT_TRANSLATE_NOOP("Menu", "Configuration...\tC"), ID_OPTIONS_CONFIGURE},
          {QT_TRANSLATE_NOOP("Menu", "Diagnostics...\tD"), ID_OPTIONS_DIAGNOSTICS},
          {QT_TRANSLATE_NOOP("Menu", "History\tH"), ID_VIEW_HISTORY}}},
        {QT_TRANSLATE_NOOP("Menu", "&Help"), {{QT_TRANSLATE_NOOP("Menu", "&About Decimon..."), ID_APP_ABOUT}}},
    };
    return menu;
}

const std::vector<AcceleratorResource>& AcceleratorTableResource() {
    using A = AcceleratorResource;
    static const std::vector<A> table = {
        {A::VirtualKey, Qt::Key_C, Qt::ControlModifier, ID_EDIT_COPY},
        {A::VirtualKey, Qt::Key_Insert, Qt::ControlModifier, ID_EDIT_COPY},
        {A::VirtualKey, Qt::Key_Delete, Qt::ShiftModifier, ID_EDIT_CUT},
        {A::VirtualKey, Qt::Key_X, Qt::ControlModifier, ID_EDIT_CUT},
        {A::VirtualKey, Qt::Key_V, Qt::ControlModifier, ID_EDIT_PASTE},
        {A::VirtualKey, Qt::Key_Insert, Qt::ShiftModifier, ID_EDIT_PASTE},
        {A::VirtualKey, Qt::Key_Backspace, Qt::AltModifier, ID_EDIT_UNDO},
        {A::VirtualKey, Qt::Key_Z, Qt::ControlModifier, ID_EDIT_UNDO},
        {A::VirtualKey, Qt::Key_F6, Qt::NoModifier, ID_NEXT_PANE},
        {A::Character, 'C', Qt::NoModifier, ID_OPTIONS_CONFIGURE},
        {A::Character, 'c', Qt::NoModifier, ID_OPTIONS_CONFIGURE},
        {A::Character, 'D', Qt::NoModifier, ID_OPTIONS_DIAGNOSTICS},
        {A::Character, 'd', Qt::NoModifier, ID_OPTIONS_DIAGNOSTICS},
        {A::Character, 'f', Qt::NoModifier, ID_VIEW_FULLSCREEN},
        {A::Character, 'F', Qt::NoModifier, ID_VIEW_FULLSCREEN},
        {A::Character, 'H', Qt::NoModifier, ID_VIEW_HISTORY},
        {A::Character, 'h', Qt::NoModifier, ID_VIEW_HISTORY},
        {A::VirtualKey, Qt::Key_F6, Qt::ShiftModifier, ID_PREV_PANE},
    };
    return table;
}

int TranslateAccelerator(int key, Qt::KeyboardModifiers modifiers, std::string_view text) {
    // The keypad flag says where a key sits, not which key it is.
    const Qt::KeyboardModifiers relevant =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    for (const AcceleratorResource& entry : AcceleratorTableResource()) {
        if (entry.kind == AcceleratorResource::VirtualKey) {
            if (entry.key == key && entry.modifiers == relevant)
                return entry.command;
        } else if (text.size() == 1 && text[0] == static_cast<char>(entry.key) &&
                   !(relevant & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            // A typed character matches whatever Shift did to produce it.
            return entry.command;
        }
    }
    return 0;
}

QIcon LoadIconResource() {
    QList<FileIconEngine::File> files;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256, 512})
        files.append({QSize(size, size), QString(":/icons/decimon-%1.png").arg(size)});
    return QIcon(new FileIconEngine(std::move(files)));
}
