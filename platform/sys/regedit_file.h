#pragma once
// The REGEDIT4 text form of one registry key, as the platform's registry editor exports it:
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\Corvanta\Decimon]
//   "ShiftLenHours"="8.0"
//   "LevelOffset"=dword:fffffffd
//   "WarningMessage"=hex(1):57,45,...,0d,0a,...,00
//
// Names and texts are in double quotes with \ and " escaped by a backslash; @ names the
// key's default value. A REG_SZ is written in quotes when it is one NUL-terminated text
// without control characters, else as hex(1): bytes; a 4-byte REG_DWORD as dword:;
// REG_BINARY as hex:; any other type as hex(N):. Long hex lines go on after a "\".
// Bytes are taken as they are (the system code page); lines end in LF, CR-LF is read too.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/sys/registry.h"

struct RegValue {
    std::string name;  // empty: the key's default value
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    bool operator==(const RegValue&) const = default;
};

// The values of one key in their order; names are unique without regard to ASCII case.
// Find and Values point into the list, so they are refused on a temporary one.
class RegValueList {
public:
    const RegValue* Find(std::string_view name) const&;
    const RegValue* Find(std::string_view name) const&& = delete;
    // Replaces the value of the same name where it stands (keeping its spelling) or appends.
    void Set(RegValue value);
    const std::vector<RegValue>& Values() const& { return values_; }
    const std::vector<RegValue>& Values() const&& = delete;
    // A name that an unread line gives: whatever Find holds for it is not to be used.
    void MarkUnusable(std::string_view name);
    bool IsUnusable(std::string_view name) const;

private:
    std::vector<RegValue> values_;
    std::unordered_map<std::string, std::size_t> index_;  // name in lower case -> position
    std::unordered_set<std::string> unusable_;            // names in lower case
};

// What a text is to one key: its text, or why it is not.
enum class KeyText { Key, NoHeader, NoSection };

class RegeditFile {
public:
    // Text beyond this size is not read: the last line begun before it is dropped.
    static constexpr std::size_t MaxTextSize = 1024 * 1024;

    // The values listed in the section `keyPath` (compared without case) of a text that
    // starts with the line REGEDIT4. Lines that cannot be read, and values cut short at
    // the end of the text, are left out; everything readable is kept. Later lines win.
    // Such lines, and a value whose name came before, are listed in `unread` when given,
    // and the names they give are marked unusable. A name is seen on a broken line as the
    // editor or a hand would write it: in straight, single or typographic quotes or none.
    // `found`, when given, tells whether the text has that first line and a line that
    // opens the section (a text without either has no values).
    static RegValueList Parse(std::string_view text, std::string_view keyPath, KeyText* found = nullptr,
                              std::vector<RegUnreadLine>* unread = nullptr);

    // The whole text of the key: header, blank line, section line, one value per line
    // (hex continued on further lines), blank line.
    static std::string Format(std::string_view keyPath, const RegValueList& values);
};
