#include "record/record_lock.h"

#include "platform/sys/private_folders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

RecordLock::~RecordLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool RecordLock::Take() {
    if (fd_ >= 0)
        return true;
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
        error_ = heldElsewhere_ ? "another display records into it" : "cannot lock " + path_ + ": " + std::strerror(errno);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}
