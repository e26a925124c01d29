#include "record/record_lock.h"

#include "platform/sys/private_folders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

RecordLock::~RecordLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

// A lock file removed (with its folder, say) locks nothing: another display would make a new
// one. The lock is then taken again at the path.
bool RecordLock::StillAtPath() const {
    struct stat atPath {};
    struct stat held {};
    return ::lstat(path_.c_str(), &atPath) == 0 && ::fstat(fd_, &held) == 0 && atPath.st_dev == held.st_dev &&
           atPath.st_ino == held.st_ino;
}

bool RecordLock::Take() {
    if (fd_ >= 0 && StillAtPath())
        return true;
    if (fd_ >= 0)
        ::close(std::exchange(fd_, -1));
    heldElsewhere_ = false;
    std::string failed;
    const std::size_t slash = path_.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakePrivateFolders(path_.substr(0, slash), failed)) {
        error_ = "cannot make " + failed + ": " + std::strerror(errno);
        return false;
    }
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error_ = "cannot open " + path_ + ": " + std::strerror(errno);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        heldElsewhere_ = errno == EWOULDBLOCK;
        error_ =
            heldElsewhere_ ? "another display records into it" : "cannot lock " + path_ + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}
