#pragma once
// The rules of the configuration dialog's boxes, apart from any window: how a box's text is
// read, which characters it may hold, which values it accepts, the half-hour rounding of the
// shift and the warning box's line rules. Numbers are read and written as in the "C" locale,
// whatever the desktop's language.

#include <optional>
#include <string>
#include <string_view>

// How a numeric box's text becomes a value when the box loses the focus.
enum class BoxReading {
    Decimal,      // atof: sign, digits and a fraction up to the first other character
    Integer,      // atoi: sign and digits up to the first other character
    WholeNumber,  // the whole text must be a whole number, else 0 (GetDlgItemInt)
};

struct BoxRule {
    BoxReading reading;
    const char* allowed;  // the characters the text may hold; null: no character check
    double low;           // the accepted range, inclusive; also where the spin button stops
    double high;
    double step;  // one spin step
};

namespace BoxRules {
inline constexpr BoxRule ShiftLenHours{BoxReading::Decimal, "0123456789.", 1.0, 24.0, 0.5};
inline constexpr BoxRule LevelOffset{BoxReading::Integer, "0123456789-", -60, 60, 1};
inline constexpr BoxRule PollingInterval{BoxReading::Integer, "0123456789", 1, 60, 1};
inline constexpr BoxRule SnmpTimeout{BoxReading::WholeNumber, nullptr, 60, 500, 1};
inline constexpr BoxRule SnmpRetries{BoxReading::Integer, "0123456789", 0, 9, 1};
}  // namespace BoxRules

// atof in the "C" locale: 7.5 is seven and a half on every desktop.
double ReadDecimal(const char* text);
// atoi in the "C" locale, held within the range of an int where atoi's result is undefined.
int ReadInteger(const char* text);
// "%-.1f" in the "C" locale.
std::string FormatDecimal(double value);

// Whether every character of `text` is one of `allowed` (always, when `allowed` is null).
bool HasOnlyAllowedCharacters(std::string_view text, const char* allowed);
bool InRange(const BoxRule& rule, double value);

// Whole hours, or half past: a fraction below 0.25 is dropped, one below 0.75 becomes .5,
// and 0.75 or more makes the next whole hour.
double RoundToHalfHours(double hours);

// The warning text from the warning box's lines: `lineCount` lines, the first two of which
// are given. Empty when the box must return to its saved text (more than two lines, or two
// empty ones).
std::optional<std::string> ComposeWarningMessage(int lineCount, std::string_view first, std::string_view second);
