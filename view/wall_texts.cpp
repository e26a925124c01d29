#include "view/wall_texts.h"

#include "config/settings.h"
#include "monitor/meter_picture.h"
#include "platform/qt/code_page.h"
#include "res/ui_language.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr const char* Sources[] = {
    QT_TRANSLATE_NOOP("MeterView", "Current sound level"),
    QT_TRANSLATE_NOOP("MeterView", "Safe noise dosage"),
    QT_TRANSLATE_NOOP("MeterView", "limit is exceeded in"),
    QT_TRANSLATE_NOOP("MeterView", "WEAR HEARING PROTECTION AT"),
    QT_TRANSLATE_NOOP("MeterView", "ALL TIMES IN THIS AREA"),
    QT_TRANSLATE_NOOP("MeterView", "%1h %2m"),
    QT_TRANSLATE_NOOP("MeterView", "> %1h %2m"),
};

QString Tr(const char* source) {
    return QCoreApplication::translate("MeterView", source);
}

// The default message's lines as the monitor cuts them.
bool IsDefaultBanner(const MeterPicture& picture) {
    const std::string_view message = DefaultWarningMessage;
    const std::size_t breakAt = message.find("\r\n");
    return message.substr(0, breakAt) == picture.WarningLine1 && message.substr(breakAt + 2) == picture.WarningLine2;
}

}  // namespace

WallTexts WallTexts::Translated() {
    WallTexts texts;
    texts.LevelLabel = Tr(Sources[0]);
    texts.DoseLabel1 = Tr(Sources[1]);
    texts.DoseLabel2 = Tr(Sources[2]);
    texts.LevelSample = LevelText("108.9 dBA");
    texts.WarningSample = Tr(Sources[3]);
    texts.DefaultBanner2 = Tr(Sources[4]);
    texts.TimeFormat = Tr(Sources[5]);
    texts.BeyondShiftFormat = Tr(Sources[6]);
    texts.TimeSample = texts.BeyondShiftFormat.arg(8).arg(0);
    return texts;
}

QString WallTexts::TimeText(std::string_view dose) const {
    const std::string text(dose);
    int hours = 0;
    int minutes = 0;
    int used = 0;
    // Only a whole match is reworded: "%n" is reached at the text's end alone.
    if (std::sscanf(text.c_str(), "> %dh %dm%n", &hours, &minutes, &used) == 2 && used == static_cast<int>(text.size()))
        return BeyondShiftFormat.arg(hours).arg(minutes);
    used = 0;
    if (std::sscanf(text.c_str(), "%dh %dm%n", &hours, &minutes, &used) == 2 && used == static_cast<int>(text.size()))
        return TimeFormat.arg(hours).arg(minutes);
    return FromCodePage(dose);
}

QString WallTexts::LevelText(std::string_view level) {
    return WallNumbers(FromCodePage(level));
}

QString WallTexts::BannerLine(const MeterPicture& picture, int line) const {
    if (IsDefaultBanner(picture))
        return line == 1 ? WarningSample : DefaultBanner2;
    return FromCodePage(line == 1 ? picture.WarningLine1 : picture.WarningLine2);
}
