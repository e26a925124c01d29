#pragma once
// What one paint of the meter view shows, worked out from the copied monitor state and the
// settings before anything is drawn: the level and dose texts, the footer and the banner.

#include "config/settings.h"
#include "monitor/monitor_state.h"

#include <cstddef>
#include <string>
#include <string_view>

// Each banner line is cut into a buffer of this size: at most 127 characters and the NUL.
inline constexpr std::size_t BannerLineCapacity = 128;

// The number of leading bytes of `text` before the first byte that equals `delimiter` or is
// a control byte (below 32). Bytes from 128 to 255 are ordinary characters.
int PrintableSpan(std::string_view text, char delimiter);

// The banner lines of a warning message ("line 1\r\nline 2"), each cut to 127 characters.
// Line 1 is the printable span before the first carriage return or control byte; line 2 is
// everything after the carriage return and the byte that follows it, and empty unless
// line 1 is non-empty and ends at a carriage return that is not the message's last byte.
void FirstWarningLine(std::string_view message, char (&line)[BannerLineCapacity]);
void SecondWarningLine(std::string_view message, char (&line)[BannerLineCapacity]);

// "%-.1f %s" of (level + levelOffset) and the weighting, or "---" when level is below 0
// (no reading; the offset does not count for this test).
std::string FormatLevelText(double level, int levelOffset, std::string_view weighting);

struct MeterPicture {
    std::string LevelText;
    std::string DoseText;  // "---" too whenever there is no reading
    std::string FooterText;
    bool DisplayWarning = false;
    char WarningLine1[BannerLineCapacity] = "";
    char WarningLine2[BannerLineCapacity] = "";
};

MeterPicture MakeMeterPicture(const PaintCopy& shown, const Settings& settings);
