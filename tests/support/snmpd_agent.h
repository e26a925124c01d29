#pragma once
// A private snmpd on a free loopback UDP port, answering the meter's objects with the
// values and types given by `override` lines. Started in the constructor, stopped (by its
// process id) in the destructor. A missing or silent snmpd fails the test.

#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

struct Override {
    std::string oid;    // ".1.3.6.1.4.1.32473.1.1.1.6.0"
    std::string type;   // integer, counter, uinteger (Gauge32), octet_str, ...
    std::string value;  // 853, "text", 0x410042
};

class SnmpdAgent {
public:
    explicit SnmpdAgent(const std::vector<Override>& overrides);
    ~SnmpdAgent();
    SnmpdAgent(const SnmpdAgent&) = delete;
    SnmpdAgent& operator=(const SnmpdAgent&) = delete;

    bool running() const { return pid_ > 0; }
    int port() const { return port_; }
    std::string agent() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    bool start(const std::vector<Override>& overrides);
    void stop();

    std::string dir_;
    pid_t pid_ = -1;
    int port_ = 0;
};

// A free UDP port on 127.0.0.1 as the kernel hands it out (free at the time of asking).
int FreeUdpPort();

}  // namespace testsupport
