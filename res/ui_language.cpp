#include "res/ui_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

struct InstalledLanguage {
    std::string code = "en";
    QChar decimalPoint = u'.';
    std::unique_ptr<QTranslator> own;
    std::unique_ptr<QTranslator> qt;
};

InstalledLanguage& Installed() {
    static InstalledLanguage installed;
    return installed;
}

// A catalogue loaded and installed, or nothing when it cannot be loaded.
std::unique_ptr<QTranslator> Install(const QString& file, const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(file, folder) || !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator;
}

}  // namespace

void ApplyDisplayLanguage(const std::string& code) {
    InstalledLanguage& installed = Installed();
    if (code == installed.code)
        return;
    installed = InstalledLanguage{};  // the translators remove themselves as they go
    if (code == installed.code)
        return;
    const QString name = QString::fromStdString(code);
    installed.code = code;
    installed.decimalPoint = QLocale(name).decimalPoint().front();
    installed.own = Install(QStringLiteral("decimon_") + name, QStringLiteral(":/i18n"));
    installed.qt = Install(QStringLiteral("qtbase_") + name, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

const std::string& DisplayLanguage() {
    return Installed().code;
}

QString WallNumbers(const QString& text) {
    const QChar point = Installed().decimalPoint;
    if (point == u'.')
        return text;
    QString shown = text;
    for (qsizetype i = 1; i + 1 < shown.size(); ++i) {
        if (shown[i] == u'.' && shown[i - 1].isDigit() && shown[i + 1].isDigit())
            shown[i] = point;
    }
    return shown;
}
