// libFuzzer target for the answer path: each input is an agent's reply datagram. A thread of
// this process plays the agent on a loopback UDP port and answers every request of
// GetIpValue, GetStringValue and GetWeighting with the input's bytes, in which each
// occurrence of RequestIdMarker is replaced by the request's id, so that the fuzzer gets
// past the id check. A well-formed answer (the request echoed) follows each reply and ends
// the wait at once when the library drops the input.
#include "snmp/snmp_device.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

// The id the seed answers carry: 02 04 5A A5 5A A5 encodes it.
constexpr std::array<std::uint8_t, 4> RequestIdMarker = {0x5A, 0xA5, 0x5A, 0xA5};
constexpr std::size_t MaxDatagram = 65507;

using Bytes = std::vector<std::uint8_t>;

// Reads one BER header at `at`; the content's start and length, or nullopt past the end.
std::optional<std::pair<std::size_t, std::size_t>> Header(const Bytes& bytes, std::size_t at) {
    if (at + 2 > bytes.size())
        return std::nullopt;
    std::size_t length = bytes[at + 1];
    std::size_t start = at + 2;
    if (length & 0x80) {
        const std::size_t count = length & 0x7F;
        if (count > 4 || start + count > bytes.size())
            return std::nullopt;
        length = 0;
        for (std::size_t i = 0; i < count; ++i)
            length = length << 8 | bytes[start++];
    }
    return std::make_pair(start, length);
}

// The request id of our own GET: message { version, community, pdu { id, ... } }.
std::optional<std::uint32_t> RequestId(const Bytes& request) {
    const auto message = Header(request, 0);
    if (!message)
        return std::nullopt;
    std::size_t at = message->first;
    for (int skip = 0; skip < 2; ++skip) {  // version, community
        const auto field = Header(request, at);
        if (!field)
            return std::nullopt;
        at = field->first + field->second;
    }
    const auto pdu = Header(request, at);
    const auto id = pdu ? Header(request, pdu->first) : std::nullopt;
    if (!id || id->second > 4 || id->first + id->second > request.size())
        return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < id->second; ++i)
        value = value << 8 | request[id->first + i];
    return value;
}

// The agent's side: a UDP socket on 127.0.0.1 and the reply of the current input.
class FakeAgent {
public:
    FakeAgent() : socket_(::socket(AF_INET, SOCK_DGRAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (socket_ < 0 || bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            std::abort();
        port_ = ntohs(address.sin_port);
        std::thread([this] { Serve(); }).detach();  // lives as long as the process
    }

    int Port() const { return port_; }
    void SetReply(const std::uint8_t* data, std::size_t size) {
        const std::lock_guard lock(mutex_);
        reply_.assign(data, data + std::min(size, MaxDatagram));
    }

private:
    void Serve() {
        Bytes request(MaxDatagram);
        for (;;) {
            sockaddr_storage from{};
            socklen_t fromLength = sizeof from;
            const ssize_t got =
                recvfrom(socket_, request.data(), request.size(), 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (got <= 0)
                continue;
            Bytes received(request.begin(), request.begin() + got);
            const auto id = RequestId(received);
            if (!id)
                continue;
            const auto send = [&](const Bytes& datagram) {
                sendto(socket_, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&from), fromLength);
            };
            send(WithId(*id));
            send(Echo(received));
        }
    }

    Bytes WithId(std::uint32_t id) {
        const std::lock_guard lock(mutex_);
        Bytes out = reply_;
        const std::array<std::uint8_t, 4> idBytes = {static_cast<std::uint8_t>(id >> 24),
                                                     static_cast<std::uint8_t>(id >> 16),
                                                     static_cast<std::uint8_t>(id >> 8), static_cast<std::uint8_t>(id)};
        for (auto at = out.begin();
             (at = std::search(at, out.end(), RequestIdMarker.begin(), RequestIdMarker.end())) != out.end();
             at += RequestIdMarker.size())
            std::copy(idBytes.begin(), idBytes.end(), at);
        return out;
    }

    // The request turned into its own answer: a GetResponse whose values are NULL.
    static Bytes Echo(Bytes request) {
        const auto message = Header(request, 0);
        std::size_t at = message ? message->first : request.size();
        for (int skip = 0; skip < 2 && at < request.size(); ++skip) {
            const auto field = Header(request, at);
            at = field ? field->first + field->second : request.size();
        }
        if (at < request.size())
            request[at] = 0xA2;
        return request;
    }

    int socket_;
    int port_ = 0;
    std::mutex mutex_;
    Bytes reply_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FakeAgent agent;
    static MeterDevice meter(("127.0.0.1:" + std::to_string(agent.Port())).c_str());
    static const bool opened = [] {
        meter.SetTimeout(1000);  // the echo ends every wait long before
        meter.SetRetries(0);
        return meter.Open() == 1;
    }();
    if (!opened)
        std::abort();
    agent.SetReply(data, size);

    AsnInteger32 level = 0;
    meter.GetIpValue(MeterDevice::LevelObject, &level);
    char text[256];
    std::memset(text, 'u', sizeof text);
    // A read that succeeds leaves a terminated text within the buffer.
    if (meter.GetStringValue(".1.3.6.1.2.1.1.5.0", text, sizeof text, 1) &&
        std::memchr(text, '\0', sizeof text) == nullptr)
        std::abort();
    const char* weighting = meter.GetWeighting();
    if (std::strlen(weighting) > 3)
        std::abort();
    return 0;
}
