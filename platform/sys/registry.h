#pragma once
// Decimon's registry calls: the five key and value operations of the settings store,
// kept to the contract of the platform registry they were written for, on files.
//
// The key HKEY_LOCAL_MACHINE\SOFTWARE\<Vendor>\<Product> is the REGEDIT4 text file
// <Vendor>/<Product>.reg in the XDG configuration folders. Opening reads the file from
// $XDG_CONFIG_HOME (default ~/.config) or, when none is there, from the first folder of
// $XDG_CONFIG_DIRS (default /etc/xdg) that has one. That first file is the key: when it
// cannot be read, or is not the key's text (its first line is not REGEDIT4, or no section
// names the key), opening and creating fail and no later file is tried, so that nothing
// passes over it or writes over it. Values set on a handle are kept in memory and written
// at RegCloseKey, always to $XDG_CONFIG_HOME, as one new file that replaces the old one
// (temporary file, fsync, rename), with mode 0600, in a folder that the write makes with
// mode 0700 or takes group's and others' rights from. Each handle works on its own copy of
// the key, taken when it was opened. Only keys of that two-level form below SOFTWARE
// exist; other paths fail cleanly. The calls are thread-safe; a closed or unknown handle
// gives ERROR_INVALID_HANDLE.
// RegGetLastFileError, which the platform registry does not have, tells why a file failed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using LONG = std::int32_t;
using DWORD = std::uint32_t;
using BYTE = std::uint8_t;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using LPCSTR = const char*;
using REGSAM = DWORD;

struct HKEY__;  // never defined: a handle is a number, not a pointer to anything
using HKEY = HKEY__*;
using PHKEY = HKEY*;
struct SECURITY_ATTRIBUTES;  // only null (default security) is used

#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u)))

// Results.
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;  // no such key or value
inline constexpr LONG ERROR_ACCESS_DENIED = 5;   // handle lacks the right, file unreadable, or key cannot be made
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_DATA = 13;  // the value is named on a line that gave no value
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;   // buffer too small: nothing copied
inline constexpr LONG ERROR_BADDB = 1009;      // the key's file is not the key's text
inline constexpr LONG ERROR_CANTWRITE = 1013;  // the key's file could not be written

// Access rights.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// Options and dispositions of RegCreateKeyExA.
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Value types.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;  // 4 bytes, little-endian
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

// Opens an existing key; *result is the handle on ERROR_SUCCESS and null otherwise.
// ERROR_ACCESS_DENIED when the key's file cannot be read, ERROR_BADDB when it is not the
// key's text. `options` is not used.
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);

// Opens the key, or makes a new empty one (creating its folders at once; the file is
// written at RegCloseKey). Fails as RegOpenKeyExA does on a file that is there, and with
// ERROR_ACCESS_DENIED when the folders cannot be made. `className` and `security` are not
// used; `disposition`, when not null, receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPCSTR className, DWORD options, REGSAM access,
                     const SECURITY_ATTRIBUTES* security, PHKEY result, LPDWORD disposition);

// Reads one value (null or "" names the key's default value). ERROR_INVALID_DATA, with nothing
// copied, for a name that an unread line of the key's file gives (see RegGetUnreadLines). `type`, when not null,
// receives the value's type. `size` gives the capacity of `data` on entry and receives
// the data length; a value longer than the capacity gives ERROR_MORE_DATA and copies
// nothing. With `data` null only the length is reported. Names compare without case.
// Needs KEY_QUERY_VALUE; `reserved` must be null.
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);

// Sets one value of any type to `size` bytes of `data`, replacing a value of the same
// name. Text is stored as given: a REG_SZ's size includes its NUL. Names may not hold
// control characters. Needs KEY_SET_VALUE.
LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data, DWORD size);

// Closes the handle, first writing the key's file when values were set on it or the key
// was created through it. The handle is gone even when the write fails (ERROR_CANTWRITE).
// A file with unread lines is not written over (ERROR_CANTWRITE, the first such line recorded
// for RegGetLastFileError): a save would drop them, and with them what a hand meant.
LONG RegCloseKey(HKEY key);

// Why a file failed in the last call on this thread that answered ERROR_ACCESS_DENIED,
// ERROR_BADDB or ERROR_CANTWRITE because of one: the file (or folder), and the reason in
// the system's words ("Permission denied", "Read-only file system") or, for a text that is
// not the key's, in the registry's own. Left as it was by every other answer.
struct RegFileError {
    std::string file;
    std::string reason;
};
RegFileError RegGetLastFileError();

// A line of a key's file, in the key's section, that gave no value: neither blank, a comment
// nor a value of the file's form, or a value whose name an earlier line gave already. The
// value it names is unusable, never taken as missing: a mistyped line must not turn a
// setting into its default without a word.
struct RegUnreadLine {
    std::size_t number = 0;  // counted from 1, the REGEDIT4 line
    std::string name;        // the value name it gives, when one can be seen; empty otherwise
    bool repeated = false;   // a readable value whose name came before
};

// The file a handle's key was read from (empty for a new key) and its unread lines in order.
struct RegUnreadLines {
    std::string file;
    std::vector<RegUnreadLine> lines;
};
LONG RegGetUnreadLines(HKEY key, RegUnreadLines& unread);
