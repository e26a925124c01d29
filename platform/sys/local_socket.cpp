#include "platform/sys/local_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

bool AddressOf(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

UniqueFd NewSocket() {
    return UniqueFd(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
}

}  // namespace

UniqueFd ListenAt(const std::string& path, std::string& trouble) {
    sockaddr_un address;
    if (!AddressOf(path, address)) {
        trouble = "the path is too long for a socket";
        return {};
    }
    UniqueFd listener = NewSocket();
    unlink(path.c_str());
    // The runtime folder is the user's own already; the socket is too, as soon as it is made.
    const bool bound =
        listener.Valid() && bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (!bound || chmod(path.c_str(), 0600) != 0 || listen(listener.Get(), SOMAXCONN) != 0) {
        trouble = std::strerror(errno);
        if (bound)
            unlink(path.c_str());
        return {};
    }
    return listener;
}

UniqueFd AcceptFrom(const UniqueFd& listener) {
    return UniqueFd(accept4(listener.Get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
}

std::string AskAt(const std::string& path, std::string_view request, std::size_t longest,
                  std::chrono::steady_clock::time_point deadline) {
    sockaddr_un address;
    UniqueFd socket = NewSocket();
    // Fails at once while nobody listens there (not yet, or no more), or a dead holder's file is left.
    if (!AddressOf(path, address) || !socket.Valid() ||
        connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        send(socket.Get(), request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size()))
        return {};
    std::string answer;
    // A holder that hangs takes the request but never answers: wait no longer than the deadline.
    while (answer.find('\n') == std::string::npos && answer.size() < longest) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd readable{socket.Get(), POLLIN, 0};
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0)
            return {};
        char buffer[64];
        const ssize_t got = recv(socket.Get(), buffer, std::min(sizeof buffer, longest - answer.size()), 0);
        if (got <= 0 && !(got < 0 && (errno == EAGAIN || errno == EINTR)))
            return {};
        answer.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    }
    const std::size_t end = answer.find('\n');
    return end == std::string::npos ? std::string() : answer.substr(0, end + 1);
}
