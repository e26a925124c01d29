#include "monitor/meter_picture.h"

#include "platform/sys/c_locale.h"
#include "platform/sys/fixed_text.h"

#include <cstdio>

namespace {
constexpr char CarriageReturn = '\r';
constexpr unsigned char FirstPrintable = 32;
}  // namespace

int PrintableSpan(std::string_view text, char delimiter) {
    std::size_t span = 0;
    while (span < text.size() && text[span] != delimiter && static_cast<unsigned char>(text[span]) >= FirstPrintable)
        ++span;
    return static_cast<int>(span);
}

void FirstWarningLine(std::string_view message, char (&line)[BannerLineCapacity]) {
    CopyFixedText(line, message.substr(0, PrintableSpan(message, CarriageReturn)));
}

void SecondWarningLine(std::string_view message, char (&line)[BannerLineCapacity]) {
    const std::size_t n = PrintableSpan(message, CarriageReturn);
    // The carriage return at n and its line feed are skipped; a carriage return that ends
    // the message leaves nothing for line 2.
    if (n == 0 || n >= message.size() || message[n] != CarriageReturn || n + 1 >= message.size()) {
        line[0] = '\0';
        return;
    }
    CopyFixedText(line, message.substr(n + 2));
}

std::string FormatLevelText(double level, int levelOffset, std::string_view weighting) {
    if (!(level >= 0.0))
        return NoValueText;
    char text[256];  // a level of the meter's range and a 127-character weighting fit; snprintf cuts the rest
    const ScopedCLocale numbers;  // "85.3 dBA" whatever the desktop's language
    std::snprintf(text, sizeof text, "%-.1f %.*s", level + levelOffset, static_cast<int>(weighting.size()),
                  weighting.data());
    return text;
}

MeterPicture MakeMeterPicture(const PaintCopy& shown, const Settings& settings) {
    MeterPicture picture;
    picture.LevelText = FormatLevelText(shown.CurrentLevel, settings.LevelOffset, FixedTextView(shown.WeightingText));
    picture.DoseText = shown.CurrentLevel >= 0.0 ? std::string(FixedTextView(shown.DoseText)) : NoValueText;
    picture.FooterText = FixedTextView(shown.FooterText);
    picture.DisplayWarning = settings.DisplayWarning != 0;
    const std::string_view message = FixedTextView(settings.WarningMessage);
    FirstWarningLine(message, picture.WarningLine1);
    SecondWarningLine(message, picture.WarningLine2);
    return picture;
}
