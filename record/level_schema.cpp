#include "record/level_schema.h"

#include <cstdlib>

namespace {

std::string AbsoluteFolder(const char* value) {
    return value != nullptr && value[0] == '/' ? std::string(value) : std::string();
}

}  // namespace

std::string DefaultLevelDatabasePath() {
    std::string data = AbsoluteFolder(std::getenv("XDG_DATA_HOME"));
    if (data.empty()) {
        data = AbsoluteFolder(std::getenv("HOME"));
        if (data.empty())
            return {};
        data += "/.local/share";
    }
    return data + "/Corvanta/Decimon/levels.sqlite3";
}
