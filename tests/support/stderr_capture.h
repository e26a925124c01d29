#pragma once
// Standard error of the test process, caught in a temporary file for one scope: what the code
// under test reports there, on any thread.

#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace decimon::test {

class StderrCapture {
public:
    StderrCapture() : file_(std::tmpfile()) {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        if (file_ == nullptr || saved_ < 0 || ::dup2(::fileno(file_), STDERR_FILENO) < 0)
            throw std::runtime_error("cannot catch standard error");
    }
    ~StderrCapture() {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        std::fclose(file_);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Everything written so far.
    std::string Text() const {
        std::fflush(stderr);
        std::string text;
        char buffer[4096];
        for (off_t at = 0;;) {
            const ssize_t got = ::pread(::fileno(file_), buffer, sizeof buffer, at);
            if (got <= 0)
                return text;
            text.append(buffer, static_cast<std::size_t>(got));
            at += got;
        }
    }

private:
    std::FILE* file_;
    int saved_ = -1;
};

}  // namespace decimon::test
