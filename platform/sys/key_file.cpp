#include "platform/sys/key_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "platform/sys/private_folders.h"
#include "platform/sys/regedit_file.h"
#include "platform/sys/replacing_file.h"
#include "platform/sys/unique_fd.h"

namespace {

thread_local RegFileError lastFileError;

// FileFailed with the system's reason for `error`, which is errno right after the failed call.
bool SystemFailed(const std::string& file, int error = errno) {
    return FileFailed(file, std::generic_category().message(error));
}

// The folder holds the password, so group and others lose any rights on it; the owner's stay.
bool TightenFolder(int folder) {
    struct stat info {};
    return ::fstat(folder, &info) == 0 && ((info.st_mode & 077) == 0 || ::fchmod(folder, info.st_mode & 0700) == 0);
}

}  // namespace

bool FileFailed(const std::string& file, std::string reason) {
    lastFileError = {file, std::move(reason)};
    return false;
}

ReadResult ReadKeyFile(const std::string& path, std::string& text) {
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (file.Get() < 0 && (errno == ENOENT || errno == ENOTDIR))
        return ReadResult::Missing;
    struct stat info {};
    if (file.Get() < 0 || ::fstat(file.Get(), &info) != 0) {
        SystemFailed(path);
        return ReadResult::Failed;
    }
    if (!S_ISREG(info.st_mode)) {
        if (S_ISDIR(info.st_mode))
            SystemFailed(path, EISDIR);
        else
            FileFailed(path, "not a regular file");
        return ReadResult::Failed;
    }
    text.resize(RegeditFile::MaxTextSize + 1);
    std::size_t length = 0;
    while (length < text.size()) {
        const ssize_t got = ::read(file.Get(), text.data() + length, text.size() - length);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            SystemFailed(path);
            return ReadResult::Failed;
        }
        if (got == 0)
            break;
        length += static_cast<std::size_t>(got);
    }
    text.resize(length);
    return ReadResult::Read;
}

bool MakeKeyFolders(const std::string& folder) {
    std::string failed;
    if (!MakePrivateFolders(folder, failed))
        return SystemFailed(failed);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        return SystemFailed(folder);
    return S_ISDIR(info.st_mode) || SystemFailed(folder, ENOTDIR);
}

bool ReplaceKeyFile(const std::string& folder, const std::string& path, const std::string& text) {
    if (text.size() > RegeditFile::MaxTextSize)
        return SystemFailed(path, EFBIG);  // a file too large to be read back is not written
    if (!MakeKeyFolders(folder))
        return false;
    UniqueFd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() < 0 || ::flock(dir.Get(), LOCK_EX) != 0 || !TightenFolder(dir.Get()))
        return SystemFailed(folder);
    ReplacingFile file(path, 0600);
    return (file.Begin() && file.Write(text) && file.Commit()) || FileFailed(file.FailedFile(), file.Error());
}

const RegFileError& LastFileError() {
    return lastFileError;
}
