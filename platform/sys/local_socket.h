#pragma once
// The Unix-domain stream sockets of the conversation between a later start and the running
// copy (platform/qt/single_instance.h): the holder's listening socket, usable by this user
// alone, and the later start's request with its one line of answer, bounded in time. Every
// descriptor is non-blocking and closed on exec.

#include "platform/sys/unique_fd.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

// Listens at `path`, replacing any socket file there (the caller holds the lock that makes it
// a dead holder's); the file is mode 0600. Invalid, with `trouble` set, when that fails.
UniqueFd ListenAt(const std::string& path, std::string& trouble);

// The next waiting connection on `listener`; invalid when none is waiting.
UniqueFd AcceptFrom(const UniqueFd& listener);

// Connects to `path`, sends `request` and reads the answer up to its first newline, at most
// `longest` bytes, until `deadline`. "" when nobody listens there, or no whole line came in time.
std::string AskAt(const std::string& path, std::string_view request, std::size_t longest,
                  std::chrono::steady_clock::time_point deadline);
