#include "tests/support/snmpd_agent.h"

#include "tests/support/wait_until.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace decimon::test {
namespace {

bool LogSaysReady(const std::string& path) {
    std::ifstream log(path);
    std::stringstream text;
    text << log.rdbuf();
    return text.str().find("NET-SNMP version") != std::string::npos;
}

}  // namespace

int FreeUdpPort() {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (fd >= 0)
        close(fd);
    return port;
}

SnmpdAgent::SnmpdAgent(const std::vector<Override>& overrides) {
    char pattern[] = "/tmp/decimon-snmpd-XXXXXX";
    if (!mkdtemp(pattern)) {
        ADD_FAILURE() << "cannot make a temporary folder for snmpd";
        return;
    }
    dir_ = pattern;
    // A port handed out by the kernel can be taken again before snmpd binds it: try a few.
    for (int attempt = 0; attempt < 3 && !Running(); ++attempt)
        Start(overrides);
    if (!Running())
        ADD_FAILURE() << "snmpd (" << DECIMON_SNMPD << ") did not start; see " << dir_ << "/snmpd.log";
}

SnmpdAgent::~SnmpdAgent() {
    Stop();
    if (!dir_.empty() && !::testing::Test::HasFailure())
        std::filesystem::remove_all(dir_);
}

bool SnmpdAgent::Start(const std::vector<Override>& overrides) {
    port_ = FreeUdpPort();
    const std::string config = dir_ + "/snmpd.conf";
    const std::string log = dir_ + "/snmpd.log";
    std::filesystem::remove(log);
    {
        std::ofstream out(config);
        out << "agentaddress udp:127.0.0.1:" << port_ << "\n"
            << "rocommunity mivrol 127.0.0.1\n"
            << "dontLogTCPWrappersConnects yes\n";
        for (const Override& o : overrides)
            out << "override " << o.oid << " " << o.type << " " << o.value << "\n";
    }
    // -I -smux: without it snmpd as root also listens on TCP 199 on every interface.
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{DECIMON_SNMPD, "-f", "-C", "-c", config, "-Lf", log, "-p", dir_ + "/snmpd.pid", "-I",
                                 "-smux"},
        ChildProcess::Stderr::Inherit,
        std::vector<std::string>{"SNMP_PERSISTENT_DIR=" + dir_ + "/state", "MIBS=", "PATH=/usr/sbin:/usr/bin:/bin"});
    // An snmpd that ended has found the port taken, or worse.
    const auto ended = [this] { return process_->WaitExit(std::chrono::milliseconds(0)).has_value(); };
    if (WaitUntil([&] { return ended() || LogSaysReady(log); }, std::chrono::seconds(10)) && !ended())
        return true;
    Stop();
    return false;
}

// snmpd does not end at the end of its input: SIGTERM, then ChildProcess kills what stays.
void SnmpdAgent::Stop() {
    if (process_)
        process_->Signal(SIGTERM);
    process_.reset();
}

}  // namespace decimon::test
