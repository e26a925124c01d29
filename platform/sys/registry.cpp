#include "platform/sys/registry.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/sys/key_file.h"
#include "platform/sys/regedit_file.h"

namespace {

constexpr std::string_view RootName = "HKEY_LOCAL_MACHINE";
constexpr std::string_view SoftwareKey = "SOFTWARE";
constexpr std::size_t MaxKeyNameLength = 255;

constexpr const char* NoHomeReason = "neither XDG_CONFIG_HOME nor HOME names a folder";

// Where one key lives: its file in $XDG_CONFIG_HOME (the only one ever written), the
// files of the same name in $XDG_CONFIG_DIRS (read when the first is missing), and the
// section name of its text.
struct KeyLocation {
    std::string writeFolder;  // .../<Vendor>; empty when no configuration home is known
    std::string writeFile;    // .../<Vendor>/<Product>.reg
    std::vector<std::string> readFiles;
    std::string section;
};

std::string AbsoluteFolder(const char* value) {
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

std::string ConfigHome() {
    std::string home = AbsoluteFolder(std::getenv("XDG_CONFIG_HOME"));
    if (home.empty()) {
        home = AbsoluteFolder(std::getenv("HOME"));
        if (!home.empty())
            home += "/.config";
    }
    return home;
}

std::vector<std::string> ConfigDirs() {
    const char* value = std::getenv("XDG_CONFIG_DIRS");
    if (value == nullptr || value[0] == '\0')
        return {"/etc/xdg"};
    std::vector<std::string> dirs;
    std::string_view rest(value);
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string dir(rest.substr(0, colon));
        if (!dir.empty() && dir.front() == '/')  // relative entries are invalid and ignored
            dirs.push_back(dir);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return dirs;
}

// A vendor or product name that is also a plain file name.
bool IsFileName(std::string_view name) {
    if (name.empty() || name.size() > MaxKeyNameLength || name == "." || name == "..")
        return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F || c == '/')
            return false;
    }
    return true;
}

// SOFTWARE\<Vendor>\<Product> (below HKEY_LOCAL_MACHINE); false for any other path.
bool LocateKey(LPCSTR subKey, KeyLocation& location) {
    if (subKey == nullptr)
        return false;
    std::vector<std::string_view> parts;
    std::string_view rest(subKey);
    for (;;) {
        const std::size_t slash = rest.find('\\');
        parts.push_back(rest.substr(0, slash));
        if (slash == std::string_view::npos)
            break;
        rest.remove_prefix(slash + 1);
    }
    const bool software = parts.size() == 3 && parts[0].size() == SoftwareKey.size() &&
                          ::strncasecmp(parts[0].data(), SoftwareKey.data(), SoftwareKey.size()) == 0;
    if (!software || !IsFileName(parts[1]) || !IsFileName(parts[2]))
        return false;

    const std::string relative = std::string(parts[1]) + "/" + std::string(parts[2]) + ".reg";
    const std::string home = ConfigHome();
    location = {};
    if (!home.empty()) {
        location.writeFolder = home + "/" + std::string(parts[1]);
        location.writeFile = home + "/" + relative;
        location.readFiles.push_back(location.writeFile);
    }
    for (const std::string& dir : ConfigDirs())
        location.readFiles.push_back(dir + "/" + relative);
    location.section = std::string(RootName) + "\\" + std::string(SoftwareKey) + "\\" + std::string(parts[1]) + "\\" +
                       std::string(parts[2]);
    return true;
}

// Whether the key has a file to write to; when not, that is recorded.
bool HasHome(const KeyLocation& location) {
    return !location.writeFile.empty() || FileFailed("", NoHomeReason);
}

struct OpenKey {
    KeyLocation location;
    REGSAM access = 0;
    RegValueList values;
    RegUnreadLines unread;
    bool changed = false;
};

// Reads the key from the first of its files that exists: ERROR_FILE_NOT_FOUND when none
// does, ERROR_ACCESS_DENIED when that first one cannot be read and ERROR_BADDB when it is
// not the key's text (no later file is tried, and the file is recorded).
LONG LoadKey(const KeyLocation& location, OpenKey& key) {
    for (const std::string& path : location.readFiles) {
        std::string text;
        switch (ReadKeyFile(path, text)) {
        case ReadResult::Missing:
            continue;
        case ReadResult::Failed:
            return ERROR_ACCESS_DENIED;
        case ReadResult::Read: {
            KeyText found = KeyText::Key;
            key.unread.file = path;
            key.values = RegeditFile::Parse(text, location.section, &found, &key.unread.lines);
            if (found == KeyText::NoHeader)
                FileFailed(path, "its first line is not REGEDIT4");
            else if (found == KeyText::NoSection)
                FileFailed(path, "it has no [" + location.section + "] section");
            return found == KeyText::Key ? ERROR_SUCCESS : ERROR_BADDB;
        }
        }
    }
    return ERROR_FILE_NOT_FOUND;
}

// The open handles. A handle is a number that is never used twice, so a stale or made-up
// handle is simply not found; the registry never dereferences one.
class HandleTable {
public:
    HKEY Add(std::unique_ptr<OpenKey> key) {
        std::lock_guard lock(mutex_);
        const std::uintptr_t number = next_++;
        keys_.emplace(number, std::move(key));
        return reinterpret_cast<HKEY>(number);
    }

    std::unique_ptr<OpenKey> Remove(HKEY handle) {
        std::lock_guard lock(mutex_);
        const auto found = keys_.find(reinterpret_cast<std::uintptr_t>(handle));
        if (found == keys_.end())
            return nullptr;
        std::unique_ptr<OpenKey> key = std::move(found->second);
        keys_.erase(found);
        return key;
    }

    // Runs action(OpenKey&) under the table's lock; ERROR_INVALID_HANDLE for an unknown
    // handle, ERROR_ACCESS_DENIED when the handle lacks `right`.
    template <typename Action>
    LONG With(HKEY handle, REGSAM right, Action action) {
        std::lock_guard lock(mutex_);
        const auto found = keys_.find(reinterpret_cast<std::uintptr_t>(handle));
        if (found == keys_.end())
            return ERROR_INVALID_HANDLE;
        if ((found->second->access & right) != right)
            return ERROR_ACCESS_DENIED;
        return action(*found->second);
    }

private:
    std::mutex mutex_;
    std::unordered_map<std::uintptr_t, std::unique_ptr<OpenKey>> keys_;
    std::uintptr_t next_ = 1;  // far below the predefined root handles
};

HandleTable& Handles() {
    static HandleTable table;
    return table;
}

bool HasControlCharacter(std::string_view name) {
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

// Opens, or with `create` makes, the key; the common part of the two open calls.
LONG OpenOrCreate(HKEY root, LPCSTR subKey, REGSAM access, bool create, PHKEY result, LPDWORD disposition) {
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (root != HKEY_LOCAL_MACHINE)
        return ERROR_INVALID_HANDLE;
    auto key = std::make_unique<OpenKey>();
    if (!LocateKey(subKey, key->location))
        return create ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND;
    key->access = access;

    LONG status = LoadKey(key->location, *key);
    DWORD opened = REG_OPENED_EXISTING_KEY;
    if (status == ERROR_FILE_NOT_FOUND && create) {
        if (!HasHome(key->location) || !MakeKeyFolders(key->location.writeFolder))
            return ERROR_ACCESS_DENIED;
        key->changed = true;  // the new key gets its file at close even without values
        opened = REG_CREATED_NEW_KEY;
        status = ERROR_SUCCESS;
    }
    if (status != ERROR_SUCCESS)
        return status;
    if (disposition != nullptr)
        *disposition = opened;
    *result = Handles().Add(std::move(key));
    return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD /*options*/, REGSAM access, PHKEY result) {
    return OpenOrCreate(key, subKey, access, false, result, nullptr);
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD /*reserved*/, LPCSTR /*className*/, DWORD /*options*/,
                     REGSAM access, const SECURITY_ATTRIBUTES* /*security*/, PHKEY result, LPDWORD disposition) {
    return OpenOrCreate(key, subKey, access, true, result, disposition);
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (reserved != nullptr || (data != nullptr && size == nullptr))
        return ERROR_INVALID_PARAMETER;
    return Handles().With(key, KEY_QUERY_VALUE, [&](OpenKey& open) {
        const std::string_view name = valueName != nullptr ? valueName : "";
        if (open.values.IsUnusable(name))
            return ERROR_INVALID_DATA;
        const RegValue* value = open.values.Find(name);
        if (value == nullptr)
            return ERROR_FILE_NOT_FOUND;
        if (type != nullptr)
            *type = value->type;
        const DWORD length = static_cast<DWORD>(value->data.size());
        LONG status = ERROR_SUCCESS;
        if (data != nullptr && length > *size)
            status = ERROR_MORE_DATA;
        else if (data != nullptr && length > 0)
            std::memcpy(data, value->data.data(), length);
        if (size != nullptr)
            *size = length;
        return status;
    });
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD /*reserved*/, DWORD type, const BYTE* data, DWORD size) {
    const std::string_view name = valueName != nullptr ? valueName : "";
    if ((data == nullptr && size > 0) || HasControlCharacter(name))
        return ERROR_INVALID_PARAMETER;
    return Handles().With(key, KEY_SET_VALUE, [&](OpenKey& open) {
        RegValue value{std::string(name), type, {}};
        if (size > 0)
            value.data.assign(data, data + size);
        open.values.Set(std::move(value));
        open.changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY key) {
    const std::unique_ptr<OpenKey> open = Handles().Remove(key);
    if (open == nullptr)
        return ERROR_INVALID_HANDLE;
    if (!open->changed)
        return ERROR_SUCCESS;
    const KeyLocation& location = open->location;
    if (!open->unread.lines.empty()) {
        FileFailed(open->unread.file, "its line " + std::to_string(open->unread.lines.front().number) +
                                          " cannot be read, and a save would drop it");
        return ERROR_CANTWRITE;
    }
    const bool saved = HasHome(location) && ReplaceKeyFile(location.writeFolder, location.writeFile,
                                                           RegeditFile::Format(location.section, open->values));
    return saved ? ERROR_SUCCESS : ERROR_CANTWRITE;
}

LONG RegGetUnreadLines(HKEY key, RegUnreadLines& unread) {
    return Handles().With(key, 0, [&](OpenKey& open) {
        unread = open.unread;
        return ERROR_SUCCESS;
    });
}

RegFileError RegGetLastFileError() {
    return LastFileError();
}
