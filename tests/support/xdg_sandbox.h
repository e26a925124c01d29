#pragma once
// Private XDG folders for one test: XDG_CONFIG_HOME, two XDG_CONFIG_DIRS entries and
// XDG_DATA_HOME (where the exposure record goes) below a fresh temporary folder (none of them
// made yet), the variables' old values put back and the folder removed afterwards.

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace decimon::test {

// The settings' key below HKEY_LOCAL_MACHINE, and the start of its file: the first line and
// the line that opens the key's section.
inline constexpr const char* DecimonKey = "SOFTWARE\\Corvanta\\Decimon";
inline const std::string DecimonFileStart = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon]\n";

class XdgSandbox {
public:
    XdgSandbox() : saved_{Saved("XDG_CONFIG_HOME"), Saved("XDG_CONFIG_DIRS"), Saved("XDG_DATA_HOME")} {
        std::string pattern = (std::filesystem::temp_directory_path() / "decimon-xdg-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
        ::setenv("XDG_CONFIG_HOME", Home().c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (SystemDir(0).string() + ":" + SystemDir(1).string()).c_str(), 1);
        ::setenv("XDG_DATA_HOME", DataHome().c_str(), 1);
    }

    ~XdgSandbox() {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    XdgSandbox(const XdgSandbox&) = delete;
    XdgSandbox& operator=(const XdgSandbox&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path Home() const { return root_ / "config-home"; }
    std::filesystem::path DataHome() const { return root_ / "data-home"; }
    // The exposure record's database below DataHome().
    std::filesystem::path LevelDatabase() const { return DataHome() / "Corvanta" / "Decimon" / "levels.sqlite3"; }
    std::filesystem::path SystemDir(int index) const { return root_ / (index == 0 ? "xdg-a" : "xdg-b"); }

    // The file of HKEY_LOCAL_MACHINE\SOFTWARE\Corvanta\Decimon below a configuration folder.
    static std::filesystem::path KeyFile(const std::filesystem::path& folder) {
        return folder / "Corvanta" / "Decimon.reg";
    }
    std::filesystem::path HomeKeyFile() const { return KeyFile(Home()); }

    // Points XDG_CONFIG_HOME below a regular file, where no folder can be made: permission
    // bits would not stop root, but ENOTDIR does.
    void MakeHomeUncreatable() const {
        WriteFile(root_ / "plain-file", "x");
        ::setenv("XDG_CONFIG_HOME", (root_ / "plain-file" / "config").c_str(), 1);
    }

    static void WriteFile(const std::filesystem::path& path, std::string_view text) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    static std::string ReadFile(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    static unsigned Mode(const std::filesystem::path& path) {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
    }

private:
    using SavedVariable = std::pair<std::string, std::optional<std::string>>;
    static SavedVariable Saved(const char* name) {
        const char* value = std::getenv(name);
        return {name, value ? std::optional<std::string>(value) : std::nullopt};
    }

    SavedVariable saved_[3];
    std::filesystem::path root_;
};

}  // namespace decimon::test
