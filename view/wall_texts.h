#pragma once
// The meter picture's own texts in the display language, made once for each language (never
// per paint): the three labels, the samples the fonts are fitted to, the default banner and
// the forms of the time to the limit and of the numbers. English gives the sources as they are.

#include <QString>

#include <string_view>

struct MeterPicture;

struct WallTexts {
    QString LevelLabel;
    QString DoseLabel1;
    QString DoseLabel2;
    QString LevelSample;    // "108.9 dBA": the widest level text expected
    QString TimeSample;     // the time to the limit beyond an 8-hour shift: "> 8h 0m"
    QString WarningSample;  // the default banner's first line, "WEAR HEARING PROTECTION AT"
    QString DefaultBanner2;
    QString TimeFormat;         // "%1h %2m"
    QString BeyondShiftFormat;  // "> %1h %2m"

    // The texts in the catalogues installed now.
    static WallTexts Translated();

    // The time to the limit as the monitor printed it ("%dh %dm", "> %dh %dm") in the
    // language's form; any other text ("---") as it is.
    QString TimeText(std::string_view dose) const;
    // The level text ("85.3 dBA") with the language's decimal sign.
    static QString LevelText(std::string_view level);
    // A banner line: the default message's lines in the language, a site's own as written.
    QString BannerLine(const MeterPicture& picture, int line) const;
};
