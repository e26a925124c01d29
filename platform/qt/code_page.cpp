#include "platform/qt/code_page.h"

QString FromCodePage(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToCodePage(const QString& text) {
    return text.toLatin1().toStdString();
}
