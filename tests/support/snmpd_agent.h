#pragma once
// A private snmpd on a free loopback UDP port, answering the meter's objects with the
// values and types given by `override` lines. Started in the constructor, stopped in the
// destructor. A missing or silent snmpd fails the test.

#include "tests/support/child_process.h"

#include <memory>
#include <string>
#include <vector>

namespace decimon::test {

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

    bool Running() const { return process_ != nullptr; }
    int Port() const { return port_; }
    std::string Agent() const { return "127.0.0.1:" + std::to_string(port_); }

private:
    bool Start(const std::vector<Override>& overrides);
    void Stop();

    std::string dir_;
    std::unique_ptr<ChildProcess> process_;
    int port_ = 0;
};

// A free UDP port on 127.0.0.1 as the kernel hands it out (free at the time of asking).
int FreeUdpPort();

}  // namespace decimon::test
