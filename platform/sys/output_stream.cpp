#include "platform/sys/output_stream.h"

#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace {

constexpr std::size_t BlockSize = 64 * 1024;

}  // namespace

bool OutputStream::Write(std::string_view data) {
    if (Failed())
        return false;
    buffer_ += data;
    return buffer_.size() < BlockSize || Flush();
}

bool OutputStream::Flush() {
    std::size_t done = 0;
    while (!Failed() && done < buffer_.size()) {
        const ssize_t wrote = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return FailWith(wrote < 0 ? errno : EIO);
        done += static_cast<std::size_t>(wrote);
    }
    buffer_.clear();
    return !Failed();
}

bool OutputStream::Fail(std::string reason) {
    if (!Failed())
        error_ = std::move(reason);
    return false;
}

bool OutputStream::FailWith(int error) {
    return Fail(std::generic_category().message(error != 0 ? error : EIO));
}

StandardOutput::StandardOutput() : OutputStream(STDOUT_FILENO) {}
