#pragma once
// The metrics endpoint's test credentials (make_tls_credentials.sh: server and client
// certificates, a bcrypt hash of "s3cret") in a fresh temporary folder, removed afterwards.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

namespace decimon::test {

class TlsCredentials {
public:
    explicit TlsCredentials(int bcryptCost = 4) {
        std::string pattern = (std::filesystem::temp_directory_path() / "decimon-tls-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        folder_ = pattern;
        const std::string command =
            std::string(DECIMON_TLS_CREDENTIALS) + " '" + pattern + "' " + std::to_string(bcryptCost);
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("make_tls_credentials.sh failed");
        std::getline(std::ifstream(folder_ / "hash"), hash_);
    }
    ~TlsCredentials() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    TlsCredentials(const TlsCredentials&) = delete;
    TlsCredentials& operator=(const TlsCredentials&) = delete;

    std::string File(const char* name) const { return (folder_ / name).string(); }
    const std::string& Hash() const { return hash_; }

    // `yaml` written as web.yml in the folder, beside the certificates; its path.
    std::string WriteWebConfig(const std::string& yaml) const {
        std::ofstream(folder_ / "web.yml") << yaml;
        return File("web.yml");
    }

private:
    std::filesystem::path folder_;
    std::string hash_;
};

}  // namespace decimon::test
