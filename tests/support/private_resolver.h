#pragma once
// Host names for this test process from private files, in a mount namespace of its own (root
// only): /etc/hosts and /etc/nsswitch.conf, and with a silent name server, /etc/resolv.conf
// naming a loopback address where a socket takes the queries and never answers. Threads
// started afterwards by the calling thread see the same files, until the object is gone.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class PrivateResolver {
public:
    enum class NameServer { None, Silent };

    explicit PrivateResolver(const std::string& hosts, NameServer server = NameServer::None)
        : dir_(std::filesystem::temp_directory_path() / ("decimon-hosts-" + std::to_string(getpid()))) {
        std::filesystem::create_directories(dir_);
        std::ofstream(dir_ / "hosts") << hosts;
        std::ofstream(dir_ / "nsswitch.conf")
            << (server == NameServer::Silent ? "hosts: files dns\n" : "hosts: files\n");
        ok_ = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
              Bind("nsswitch.conf") && Bind("hosts") && (server == NameServer::None || StartSilentServer());
    }
    // The real files show again; the namespace stays the process's.
    ~PrivateResolver() {
        for (const std::string& target : bound_)
            umount2(target.c_str(), MNT_DETACH);
        if (server_ >= 0)
            close(server_);
        std::filesystem::remove_all(dir_);
    }
    PrivateResolver(const PrivateResolver&) = delete;
    PrivateResolver& operator=(const PrivateResolver&) = delete;

    bool Ok() const { return ok_; }
    void Add(const std::string& line) { std::ofstream(dir_ / "hosts", std::ios::app) << line << "\n"; }
    // In place, so that the bind mount keeps showing the file.
    void Write(const std::string& hosts) { std::ofstream(dir_ / "hosts", std::ios::trunc) << hosts; }
    // How many queries the silent name server has received since the last call.
    int TakeQueries() {
        char query[512];
        int taken = 0;
        while (server_ >= 0 && recv(server_, query, sizeof query, MSG_DONTWAIT) >= 0)
            ++taken;
        return taken;
    }

private:
    bool Bind(const char* name) {
        const std::string target = std::string("/etc/") + name;
        if (mount((dir_ / name).c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0)
            return false;
        bound_.push_back(target);
        return true;
    }

    // A name server port on a loopback address that no other test holds; the queries stay
    // queued on the socket, unanswered.
    bool StartSilentServer() {
        server_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        for (int host = 1; server_ >= 0 && host < 255; ++host) {
            const std::string address = "127.53." + std::to_string(getpid() % 250) + "." + std::to_string(host);
            sockaddr_in where{};
            where.sin_family = AF_INET;
            where.sin_port = htons(53);
            inet_pton(AF_INET, address.c_str(), &where.sin_addr);
            if (bind(server_, reinterpret_cast<sockaddr*>(&where), sizeof where) == 0) {
                std::ofstream(dir_ / "resolv.conf") << "nameserver " << address << "\n";
                return Bind("resolv.conf");
            }
        }
        return false;
    }

    std::filesystem::path dir_;
    std::vector<std::string> bound_;
    int server_ = -1;
    bool ok_ = false;
};
