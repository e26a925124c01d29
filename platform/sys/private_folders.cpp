#include "platform/sys/private_folders.h"

#include <sys/stat.h>

#include <cerrno>

bool MakePrivateFolders(const std::string& folder, std::string& failed) {
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string prefix = folder.substr(0, end);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            failed = prefix;
            return false;
        }
        if (end == std::string::npos)
            return true;
    }
}
