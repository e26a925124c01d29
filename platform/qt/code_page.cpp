#include "platform/qt/code_page.h"

#include <QCoreApplication>

QString FromCodePage(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToCodePage(const QString& text) {
    return text.toLatin1().toStdString();
}

QString TranslatedFromCodePage(const char* context, const char* source) {
    // Without a translation Qt gives the source back read as UTF-8, which a code page's
    // byte above 127 is not.
    const QString translated = QCoreApplication::translate(context, source);
    return translated == QString::fromUtf8(source) ? FromCodePage(source) : translated;
}
