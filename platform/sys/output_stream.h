#pragma once
// Bytes written to a file descriptor in blocks, which remembers its first failure (a full
// disk, a closed pipe): from then on nothing more is written, and Error() says why in the
// system's words ("No space left on device"). Standard output for the record's CSV and a
// report sent there, the temporary of a ReplacingFile.

#include <string>
#include <string_view>

class OutputStream {
public:
    explicit OutputStream(int fd = -1) : fd_(fd) {}
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;

    // Buffers `data`, writing whole blocks as they fill; false once anything has failed.
    bool Write(std::string_view data);
    // Writes what is buffered; false once anything has failed.
    bool Flush();

    bool Failed() const { return !error_.empty(); }
    // The reason of the first failure; empty when there was none.
    const std::string& Error() const { return error_; }

protected:
    ~OutputStream() = default;
    void SetFd(int fd) { fd_ = fd; }
    // Records `reason` as the failure unless one came before; false, for the caller to answer.
    bool Fail(std::string reason);
    // Fail with the system's words for `error`, an errno value (EIO for none).
    bool FailWith(int error);

private:
    int fd_;
    std::string buffer_;
    std::string error_;
};

// The process's standard output as an OutputStream.
class StandardOutput final : public OutputStream {
public:
    StandardOutput();
};
