#include "platform/sys/replacing_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <utility>

namespace {

constexpr int MaxLinks = 40;  // as the kernel's own limit on a path's links

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Makes the rename into `file`'s folder durable; the file is in place either way.
void SyncFolderOf(const std::string& file) {
    const std::string folder = std::filesystem::path(file).parent_path().string();
    const UniqueFd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Valid())
        ::fsync(dir.Get());
}

}  // namespace

std::string FollowLinks(const std::string& path) {
    std::filesystem::path at(path);
    std::error_code error;
    for (int link = 0; link < MaxLinks && std::filesystem::is_symlink(std::filesystem::symlink_status(at, error));
         ++link) {
        const std::filesystem::path next = std::filesystem::read_symlink(at, error);
        if (error)
            break;
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return at.string();
}

ReplacingFile::ReplacingFile(std::string target, mode_t mode, bool keepMode)
    : target_(std::move(target)), mode_(mode), keepMode_(keepMode) {}

ReplacingFile::~ReplacingFile() {
    if (ownsTemporary_)
        ::unlink(temporary_.c_str());
}

bool ReplacingFile::FailedAt(const std::string& file, int error) {
    if (!Failed())
        failedFile_ = file;
    return FailWith(error);
}

bool ReplacingFile::Begin() {
    // A device or a FIFO is looked at through its links before they are followed: /dev/stdout
    // leads to /proc/self/fd/1 and on to a pipe's name that is no path.
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        failedFile_ = target_;
        return S_ISDIR(existing.st_mode) ? FailWith(EISDIR) : Fail("not a regular file");
    }
    if (exists && keepMode_)
        mode_ = existing.st_mode & 07777;
    target_ = FollowLinks(target_);
    temporary_ = target_ + ".new";
    return MakeTemporary();
}

bool ReplacingFile::MakeTemporary() {
    // Without O_NONBLOCK a FIFO left at the temporary's name would hold the write until a
    // reader came; without O_TRUNC another writer's temporary is not cut before it is locked.
    fd_ = UniqueFd(::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600));
    struct stat opened {};
    if (!fd_.Valid() || ::fstat(fd_.Get(), &opened) != 0)
        return FailedAt(temporary_, errno);
    if (!S_ISREG(opened.st_mode)) {
        failedFile_ = temporary_;
        return Fail("not a regular file");
    }
    // Locked, and still the file at the temporary's name: another writer may have renamed it
    // into place between the open and the lock.
    struct stat named {};
    if (::flock(fd_.Get(), LOCK_EX | LOCK_NB) != 0 || ::lstat(temporary_.c_str(), &named) != 0 ||
        !SameFile(opened, named)) {
        failedFile_ = temporary_;
        return Fail("another program is writing it");
    }
    ownsTemporary_ = true;
    // One left by a write cut short may hold anything, with any mode.
    if (::ftruncate(fd_.Get(), 0) != 0 || ::fchmod(fd_.Get(), mode_) != 0)
        return FailedAt(temporary_, errno);
    SetFd(fd_.Get());
    return true;
}

bool ReplacingFile::Commit() {
    const bool done = Flush() && (::fsync(fd_.Get()) == 0 || FailWith(errno)) &&
                      (::close(fd_.Release()) == 0 || FailWith(errno)) &&
                      (::rename(temporary_.c_str(), target_.c_str()) == 0 || FailWith(errno));
    if (!done) {
        failedFile_ = target_;
        return false;
    }
    ownsTemporary_ = false;
    SyncFolderOf(target_);
    return true;
}
