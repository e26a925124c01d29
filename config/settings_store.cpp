#include "config/settings_store.h"

#include <strings.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sys/c_locale.h"
#include "platform/sys/fixed_text.h"
#include "platform/sys/registry.h"

namespace {

constexpr std::size_t KeyPathCapacity = 128;
constexpr std::size_t ValueNameCapacity = 16;
constexpr std::size_t ShiftTextCapacity = 128;  // the text read for ShiftLenHours
// "%-.1f" of any double fits: sign, 309 digits, point, one decimal, NUL. A number too
// large for ShiftTextCapacity is still written whole rather than cut to another number;
// loading then keeps the default.
constexpr std::size_t ShiftFormatCapacity = 320;

using KeyPath = char[KeyPathCapacity];
using ValueName = char[ValueNameCapacity];

void FormatKeyPath(KeyPath& path) {
    std::snprintf(path, sizeof path, SettingsStore::KeyFormat, SettingsStore::ProductName);
}

// "Recent1" for entry 0 of Recent, up to "Recent10".
void FormatRecentName(ValueName& name, std::size_t entry) {
    std::snprintf(name, sizeof name, "Recent%d", static_cast<int>(entry + 1));
}

// Replaces the field only with a REG_SZ whose text, up to its first NUL, fits the field.
template <std::size_t N>
bool ReadText(HKEY key, const char* name, char (&field)[N]) {
    char buffer[N];
    DWORD type = REG_NONE;
    DWORD size = N;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    const std::size_t length = strnlen(buffer, size);
    if (length == N)
        return false;  // N characters and no NUL: one too many for the field
    CopyFixedText(field, std::string_view(buffer, length));
    return true;
}

// Replaces the field only with a REG_DWORD of exactly 4 bytes (little-endian); false when
// the value is missing or of another form.
bool ReadNumber(HKEY key, const char* name, std::int32_t& field) {
    BYTE data[4];
    DWORD type = REG_NONE;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, nullptr, &type, data, &size) != ERROR_SUCCESS || type != REG_DWORD ||
        size != sizeof data)
        return false;
    const std::uint32_t bits = data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
    field = static_cast<std::int32_t>(bits);
    return true;
}

// A REG_SZ with its terminating NUL counted in the length. Its result is ignored.
void WriteText(HKEY key, const char* name, std::string_view text) {
    const std::string data(text);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
}

void WriteNumber(HKEY key, const char* name, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    const BYTE data[4] = {static_cast<BYTE>(bits), static_cast<BYTE>(bits >> 8), static_cast<BYTE>(bits >> 16),
                          static_cast<BYTE>(bits >> 24)};
    RegSetValueExA(key, name, 0, REG_DWORD, data, sizeof data);
}

// False, with the registry's account of the file that failed in `error` when given.
bool FileError(SettingsFileError* error) {
    if (error != nullptr) {
        RegFileError failed = RegGetLastFileError();
        *error = {std::move(failed.file), std::move(failed.reason)};
    }
    return false;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// Where the key's file names `name` on a line that gave no value, as a setting's reason:
// "is named on line 7 of the settings file F, which cannot be read".
std::string UnreadLineReason(HKEY key, std::string_view name) {
    RegUnreadLines unread;
    RegGetUnreadLines(key, unread);
    for (const RegUnreadLine& line : unread.lines) {
        if (SameName(line.name, name))
            return (line.repeated ? "is given a second time on line " : "is named on line ") +
                   std::to_string(line.number) + " of the settings file " + unread.file +
                   (line.repeated ? "" : ", which cannot be read");
    }
    return "is named on a line of the settings file that cannot be read";
}

// The settings whose loaders say their unread lines themselves.
constexpr std::string_view SelfSaying[] = {"MetricsAddress", "MetricsWebConfig", "Shifts"};

// The sentences for the key's unread lines, and why Password cannot be used.
UnreadSettingsLines SayUnreadLines(HKEY key) {
    UnreadSettingsLines said;
    RegUnreadLines unread;
    RegGetUnreadLines(key, unread);
    std::size_t untold = 0;
    for (const RegUnreadLine& line : unread.lines) {
        const std::string& name = line.name;
        if (SameName(name, "Password"))
            said.password = "Password " + UnreadLineReason(key, name);
        if (std::any_of(std::begin(SelfSaying), std::end(SelfSaying), [&](auto self) { return SameName(self, name); }))
            continue;
        if (said.said.size() == SettingsStore::MaxSaid) {
            ++untold;
            continue;
        }
        std::string sentence = "the settings file " + unread.file + ", line " + std::to_string(line.number) + ": ";
        if (line.repeated)
            sentence += "gives " + name + " a second time";
        else
            sentence += "cannot be read" + (name.empty() ? "" : " (" + name + ")");
        if (name.empty())
            sentence += "; it is left out";
        else if (SameName(name, "Password"))
            sentence += "; no password opens the configuration until the file is repaired";
        else
            sentence += "; " + name + " is not used and keeps its default";
        said.said.push_back(std::move(sentence));
    }
    if (untold > 0)
        said.said.push_back("the settings file " + unread.file + ": " + std::to_string(untold) +
                            " further lines cannot be read or give a setting a second time");
    return said;
}

// A REG_SZ beside the settings that no dialog edits, of at most N - 1 characters.
template <std::size_t N>
ExtraText LoadExtraText(const char* name) {
    KeyPath path;
    FormatKeyPath(path);
    ExtraText loaded;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return loaded;
    char text[N];
    DWORD type = REG_NONE;
    DWORD size = N;
    const LONG read = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(text), &size);
    if (read == ERROR_INVALID_DATA)
        loaded.unusable = UnreadLineReason(key, name);
    RegCloseKey(key);
    const bool there = read == ERROR_SUCCESS || read == ERROR_MORE_DATA;
    const std::size_t length = read == ERROR_SUCCESS ? strnlen(text, size) : 0;
    if (there && type != REG_SZ)
        loaded.unusable = "is not a text (REG_SZ) but another kind of value";
    else if (read == ERROR_MORE_DATA || length == N)
        loaded.unusable = "is longer than " + std::to_string(N - 1) + " characters";
    else if (read == ERROR_SUCCESS)
        loaded.text.assign(text, length);
    return loaded;
}

}  // namespace

bool SettingsStore::LoadSettings(Settings& settings, SettingsFileError* error, UnreadSettingsLines* unread) {
    KeyPath path;
    FormatKeyPath(path);
    SetFactoryDefaults(settings);

    HKEY key = nullptr;
    const LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key);
    if (opened == ERROR_ACCESS_DENIED || opened == ERROR_BADDB)
        return FileError(error);  // a file that is there but unreadable is not a first start
    if (opened != ERROR_SUCCESS)
        return true;

    char shiftText[ShiftTextCapacity];
    if (ReadText(key, "ShiftLenHours", shiftText)) {
        const ScopedCLocale numbers;  // the file's "7.5" is 7.5 whatever the desktop's language
        settings.ShiftLenHours = std::atof(shiftText);
    }
    ReadNumber(key, "LevelOffset", settings.LevelOffset);
    ReadNumber(key, "PollingInterval", settings.PollingInterval);
    if (settings.PollingInterval < 1)
        settings.PollingInterval = 1;
    ReadNumber(key, "DisplayWarning", settings.DisplayWarning);
    ReadNumber(key, "SnmpTimeout", settings.SnmpTimeout);
    ReadNumber(key, "SnmpRetries", settings.SnmpRetries);
    ReadText(key, "Password", settings.Password);
    ReadText(key, "WarningMessage", settings.WarningMessage);
    ReadText(key, "HostName", settings.HostName);
    for (std::size_t entry = 0; entry < RecentCount; ++entry) {
        ValueName name;
        FormatRecentName(name, entry);
        ReadText(key, name, settings.Recent[entry]);  // a missing value leaves the entry empty
    }
    if (unread != nullptr)
        *unread = SayUnreadLines(key);
    RegCloseKey(key);
    return true;
}

bool SettingsStore::SaveSettings(const Settings& settings, SettingsFileError* error) {
    KeyPath path;
    FormatKeyPath(path);

    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS &&
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, "", REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return FileError(error);

    char shiftText[ShiftFormatCapacity];
    {
        const ScopedCLocale numbers;  // "7.5", never "7,5"
        std::snprintf(shiftText, sizeof shiftText, "%-.1f", settings.ShiftLenHours);
    }
    WriteText(key, "ShiftLenHours", shiftText);
    WriteNumber(key, "LevelOffset", settings.LevelOffset);
    WriteNumber(key, "PollingInterval", settings.PollingInterval);
    WriteNumber(key, "SnmpTimeout", settings.SnmpTimeout);
    WriteNumber(key, "SnmpRetries", settings.SnmpRetries);
    WriteNumber(key, "DisplayWarning", settings.DisplayWarning != 0 ? 1 : 0);
    WriteText(key, "Password", FixedTextView(settings.Password));
    WriteText(key, "HostName", FixedTextView(settings.HostName));
    WriteText(key, "WarningMessage", FixedTextView(settings.WarningMessage));
    for (std::size_t entry = 0; entry < RecentCount; ++entry) {
        ValueName name;
        FormatRecentName(name, entry);
        WriteText(key, name, FixedTextView(settings.Recent[entry]));
    }
    // The values reach the file here. A failed RegSetValueExA needs no check: it only
    // refuses bad arguments, which these are not.
    return RegCloseKey(key) == ERROR_SUCCESS || FileError(error);
}

namespace {

// A REG_DWORD beside the settings, read alone at start: nothing when it is missing or of
// another form, and then `wrongKind` says whether a value of that name is there.
std::optional<std::int32_t> LoadExtraNumber(const char* name, bool& wrongKind) {
    KeyPath path;
    FormatKeyPath(path);
    HKEY key = nullptr;
    std::optional<std::int32_t> number;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return number;
    if (std::int32_t value = 0; ReadNumber(key, name, value))
        number = value;
    else
        wrongKind = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr) != ERROR_FILE_NOT_FOUND;
    RegCloseKey(key);
    return number;
}

}  // namespace

bool SettingsStore::LoadRecordLevels(bool* wrong) {
    bool wrongKind = false;
    const std::optional<std::int32_t> value = LoadExtraNumber("RecordLevels", wrongKind);
    if (wrong != nullptr)
        *wrong = wrongKind || (value && *value != 0 && *value != 1);
    return value.value_or(1) != 0;
}

std::int32_t SettingsStore::LoadRecordKeepDays(bool* wrong) {
    bool wrongKind = false;
    const std::optional<std::int32_t> days = LoadExtraNumber("RecordKeepDays", wrongKind);
    const bool bad = wrongKind || (days && (*days < 0 || *days > MaxRecordKeepDays));
    if (wrong != nullptr)
        *wrong = bad;
    return bad ? 0 : days.value_or(DefaultRecordKeepDays);  // 0: nothing deleted on a guess
}

int SettingsStore::LoadMeterClass(bool* wrong) {
    bool wrongKind = false;
    const std::optional<std::int32_t> value = LoadExtraNumber("MeterClass", wrongKind);
    const bool bad = wrongKind || (value && *value != 1 && *value != 2);
    if (wrong != nullptr)
        *wrong = bad;
    return bad ? 0 : value.value_or(0);
}

ExtraText SettingsStore::LoadMetricsAddress() {
    return LoadExtraText<512>("MetricsAddress");  // room for any host name and port
}

ExtraText SettingsStore::LoadMetricsWebConfig() {
    return LoadExtraText<PATH_MAX>("MetricsWebConfig");
}

ExtraText SettingsStore::LoadShifts() {
    return LoadExtraText<1024>("Shifts");
}

ExtraText SettingsStore::LoadShiftLenHoursText() {
    return LoadExtraText<ShiftTextCapacity>("ShiftLenHours");
}

std::string SettingsStore::LoadLanguage(std::string* warning) {
    if (warning != nullptr)
        warning->clear();
    const ExtraText value = LoadExtraText<16>("Language");
    std::string reason = value.unusable.empty() ? "" : "it " + value.unusable;
    if (reason.empty()) {
        if (value.text.empty())
            return DisplayLanguages[0];
        for (const char* code : DisplayLanguages) {
            if (value.text == code)
                return code;
        }
        reason = "\"" + value.text + "\" is not one of en, de, fr, es, it, pl, nl";
    }
    if (warning != nullptr)
        *warning = "the setting Language is not used (" + reason + "); the display speaks English";
    return DisplayLanguages[0];
}
