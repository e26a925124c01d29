#pragma once
// The program's 8-bit texts on Qt's strings. The system code page is ISO 8859-1: each
// byte is one character, so any byte string survives the way to the screen and back.

#include <QString>

#include <string>
#include <string_view>

QString FromCodePage(std::string_view text);
// Characters outside the code page become '?'.
std::string ToCodePage(const QString& text);

// `source`, an English text in the code page, in the display language: its translation under
// `context` in the installed catalogues, else the text itself.
QString TranslatedFromCodePage(const char* context, const char* source);
