#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace meter_sim {

// A whole decimal number (optional leading '-') within [min, max]; nullopt for anything else.
std::optional<std::int64_t> ParseDecimal(std::string_view text, std::int64_t min, std::int64_t max);

// Text where "\xNN" stands for any byte and "\\" for a backslash; nullopt on any other
// backslash sequence, so a typo never goes out on the wire as literal text.
std::optional<std::string> DecodeEscapes(std::string_view text);

// Pairs of hex digits, spaces between them allowed; nullopt for anything else or an odd digit.
std::optional<std::string> DecodeHex(std::string_view text);

// Splits the first space-separated word off the front of `rest` (leading spaces skipped);
// `rest` keeps what follows the single space after the word.
std::string_view TakeWord(std::string_view& rest);

}  // namespace meter_sim
