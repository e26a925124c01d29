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

namespace {

thread_local RegFileError lastFileError;

// FileFailed with the system's reason for `error`, which is errno right after the failed call.
bool SystemFailed(const std::string& file, int error = errno) {
    return FileFailed(file, std::generic_category().message(error));
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    // Closes now, reporting whether the last buffered write reached the file.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// The folder holds the password, so group and others lose any rights on it; the owner's stay.
bool TightenFolder(int folder) {
    struct stat info {};
    return ::fstat(folder, &info) == 0 && ((info.st_mode & 077) == 0 || ::fchmod(folder, info.st_mode & 0700) == 0);
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t put = ::write(fd, text.data() + written, text.size() - written);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        written += static_cast<std::size_t>(put);
    }
    return true;
}

}  // namespace

bool FileFailed(const std::string& file, std::string reason) {
    lastFileError = {file, std::move(reason)};
    return false;
}

ReadResult ReadKeyFile(const std::string& path, std::string& text) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
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
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() < 0 || ::flock(dir.Get(), LOCK_EX) != 0 || !TightenFolder(dir.Get()))
        return SystemFailed(folder);
    const std::string temporary = path + ".new";
    // Without O_NONBLOCK a FIFO left at the temporary's name would hold the save until a reader came.
    FileDescriptor file(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600));
    if (file.Get() < 0 || ::fchmod(file.Get(), 0600) != 0)  // one left by an older save may have another mode
        return SystemFailed(temporary);
    const bool written = WriteAll(file.Get(), text) && ::fsync(file.Get()) == 0 && file.Close() &&
                         ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!written) {
        SystemFailed(path);  // before the clean-up changes errno
        ::unlink(temporary.c_str());
        return false;
    }
    ::fsync(dir.Get());  // makes the rename itself durable; the file is in place either way
    return true;
}

const RegFileError& LastFileError() {
    return lastFileError;
}
