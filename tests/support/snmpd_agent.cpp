#include "tests/support/snmpd_agent.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace testsupport {
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
    for (int attempt = 0; attempt < 3 && !running(); ++attempt)
        start(overrides);
    if (!running())
        ADD_FAILURE() << "snmpd (" << DECIMON_SNMPD << ") did not start; see " << dir_ << "/snmpd.log";
}

SnmpdAgent::~SnmpdAgent() {
    stop();
    if (!dir_.empty() && !::testing::Test::HasFailure())
        std::filesystem::remove_all(dir_);
}

bool SnmpdAgent::start(const std::vector<Override>& overrides) {
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
    const std::string pidFile = dir_ + "/snmpd.pid";
    // -I -smux: without it snmpd as root also listens on TCP 199 on every interface.
    std::vector<std::string> args = {DECIMON_SNMPD, "-f", "-C", "-c", config, "-Lf", log, "-p", pidFile, "-I", "-smux"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> env = {"SNMP_PERSISTENT_DIR=" + dir_ + "/state", "MIBS=", "PATH=/usr/sbin:/usr/bin:/bin"};
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    pid_t pid = -1;
    if (posix_spawn(&pid, DECIMON_SNMPD, nullptr, nullptr, argv.data(), envp.data()) != 0)
        return false;
    pid_ = pid;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {  // exited: the port was taken, or worse
            pid_ = -1;
            return false;
        }
        if (LogSaysReady(log))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    stop();
    return false;
}

void SnmpdAgent::stop() {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

}  // namespace testsupport
