#pragma once
// The language of everything the display shows a person: the program's own catalogue (from
// res/translations/, compiled with the program and embedded) and Qt's own for its standard
// buttons, installed for the whole application once per change. English is the sources
// themselves: nothing is installed for it, whatever the desktop's locale. Installing or
// removing a catalogue sends every widget a QEvent::LanguageChange.

#include <QString>

#include <string>

// Installs the catalogues of `code` (one of SettingsStore::DisplayLanguages) in place of the
// ones installed before; nothing when the language stays the same.
void ApplyDisplayLanguage(const std::string& code);

// The language installed last, "en" before any.
const std::string& DisplayLanguage();

// A text printed with numbers in the "C" form ("85.3 dBA") as the wall shows it in the display
// language ("85,3 dBA" in German and French): each point between two digits becomes the
// language's decimal sign. English texts stay as they are.
QString WallNumbers(const QString& text);
