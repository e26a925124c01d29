#pragma once
// XDG_DATA_HOME set to a fresh temporary folder for one test, where the display keeps its
// exposure record; the old value put back and the folder removed afterwards.

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

namespace decimon::test {

class DataHome {
public:
    DataHome() {
        if (const char* value = std::getenv("XDG_DATA_HOME"))
            saved_ = value;
        std::string pattern = (std::filesystem::temp_directory_path() / "decimon-data-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        root_ = pattern;
        ::setenv("XDG_DATA_HOME", root_.c_str(), 1);
    }
    ~DataHome() {
        if (saved_)
            ::setenv("XDG_DATA_HOME", saved_->c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    DataHome(const DataHome&) = delete;
    DataHome& operator=(const DataHome&) = delete;

    // Where the display keeps its record below this folder.
    std::filesystem::path RecordPath() const { return root_ / "Corvanta" / "Decimon" / "levels.sqlite3"; }

private:
    std::optional<std::string> saved_;
    std::filesystem::path root_;
};

}  // namespace decimon::test
