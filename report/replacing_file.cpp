#include "report/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

namespace {

constexpr std::size_t BlockSize = 64 * 1024;

}  // namespace

ReplacingFile::ReplacingFile(std::string target) : target_(std::move(target)) {}

ReplacingFile::~ReplacingFile() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
}

bool ReplacingFile::Begin() {
    const std::filesystem::path target(target_);
    // A hidden name beside the target: the rename stays within one file system.
    std::string pattern = (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0)
        return Failed(errno);
    temporary_ = pattern;
    // mkostemp makes it 0600; a report is a document like any other the user writes.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd_, 0666 & ~mask) != 0)
        return Failed(errno);
    return open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

bool ReplacingFile::Commit() {
    close();
    bool written = Flush() && (::fsync(fd_) == 0 || Failed(errno));
    written = (::close(std::exchange(fd_, -1)) == 0 || Failed(errno)) && written;
    if (!written)
        return false;
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        return Failed(errno);
    temporary_.clear();
    // Makes the rename itself durable; the report is in place either way.
    const std::string folder = std::filesystem::path(target_).parent_path().string();
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

std::string ReplacingFile::Error() const {
    return std::strerror(error_);
}

qint64 ReplacingFile::readData(char*, qint64) {
    return -1;
}

qint64 ReplacingFile::writeData(const char* data, qint64 size) {
    if (error_ != 0)
        return -1;
    buffer_.append(data, static_cast<std::size_t>(size));
    if (buffer_.size() >= BlockSize && !Flush())
        return -1;
    return size;
}

bool ReplacingFile::Flush() {
    std::size_t done = 0;
    while (error_ == 0 && done < buffer_.size()) {
        const ssize_t wrote = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote < 0)
            return Failed(errno);
        done += static_cast<std::size_t>(wrote);
    }
    buffer_.clear();
    return error_ == 0;
}

bool ReplacingFile::Failed(int error) {
    if (error_ == 0)
        error_ = error != 0 ? error : EIO;
    return false;
}
