#include "metrics/web_config.h"

#include "metrics/cipher_suites.h"

#include <gnutls/gnutls.h>
#include <gnutls/x509.h>
#include <yaml-cpp/yaml.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <set>
#include <string_view>
#include <vector>

namespace {

// Larger files are not configurations or certificates.
constexpr std::size_t kMaxFileBytes = 1 << 20;

bool Fail(std::string* reason, std::string why) {
    *reason = std::move(why);
    return false;
}

// Why the file of this mode is not a regular file, as a reason; null when it is one.
const char* NotRegular(mode_t mode) {
    if (S_ISREG(mode))
        return nullptr;
    if (S_ISDIR(mode))
        return "it is a folder, not a regular file";
    if (S_ISFIFO(mode))
        return "it is a FIFO, not a regular file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device, not a regular file";
    return "it is not a regular file";
}

// The open file `fd`, once it is seen to be a regular file.
bool ReadRegularFile(int fd, std::string& text, std::string* reason) {
    struct stat status {};
    if (fstat(fd, &status) != 0)
        return Fail(reason, std::strerror(errno));
    if (const char* why = NotRegular(status.st_mode))
        return Fail(reason, why);
    char buffer[8192];
    text.clear();
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Fail(reason, std::strerror(errno));
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > kMaxFileBytes)
            return Fail(reason, "larger than 1 MiB");
    }
    return true;
}

// A regular file, never waited for: a FIFO or a device is refused before it is opened (opening
// one may block, or do something), and once more after, should it have been swapped meanwhile.
bool ReadSmallFile(const std::filesystem::path& path, std::string& text, std::string* reason, mode_t* mode = nullptr) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        return Fail(reason, std::strerror(errno));
    if (const char* why = NotRegular(status.st_mode))
        return Fail(reason, why);
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return Fail(reason, std::strerror(errno));
    const bool read = ReadRegularFile(fd, text, reason);
    close(fd);
    if (mode)
        *mode = status.st_mode;
    return read;
}

// The text of `node`, a scalar, as `what`.
bool ReadScalar(const YAML::Node& node, const std::string& what, std::string& text, std::string* reason) {
    if (!node.IsScalar())
        return Fail(reason, what + " is not a text");
    text = node.Scalar();
    return true;
}

// The file that `key` names, relative to the web configuration's folder as the exporters take it.
bool ReadNamedFile(const YAML::Node& node, const std::string& key, const std::filesystem::path& folder,
                   std::string& text, std::vector<std::string>& files, std::string* reason, mode_t* mode = nullptr) {
    std::string name;
    if (!ReadScalar(node, key, name, reason))
        return false;
    if (name.empty())
        return Fail(reason, key + " is empty");
    std::string why;
    if (!ReadSmallFile(folder / name, text, &why, mode))
        return Fail(reason, key + " \"" + (folder / name).string() + "\" cannot be read: " + why);
    files.push_back((folder / name).string());
    return true;
}

// A TLS version as the exporters spell it, 12 or 13 (TLS 1.0 and 1.1 are not spoken at all).
bool ReadVersion(const YAML::Node& node, const std::string& key, int& version, std::string* reason) {
    std::string name;
    if (!ReadScalar(node, key, name, reason))
        return false;
    if (name != "TLS12" && name != "TLS13")
        return Fail(reason, key + " " + name + " is not supported (TLS12 or TLS13)");
    version = name == "TLS12" ? 12 : 13;
    return true;
}

// A list of names, such as cipher_suites.
bool ReadNames(const YAML::Node& node, const std::string& key, std::vector<std::string>& names, std::string* reason) {
    if (!node.IsSequence())
        return Fail(reason, key + " is not a list");
    for (const auto& item : node)
        if (!ReadScalar(item, key, names.emplace_back(), reason))
            return false;
    return true;
}

// curve_preferences, the exporters' names of key exchange groups in the order preferred, as
// GnuTLS priority items (":-GROUP-ALL:+GROUP-X25519..."); empty when the file has none.
bool ReadCurves(const YAML::Node& node, std::string& groups, std::string* reason) {
    static const std::map<std::string, const char*, std::less<>> Groups = {
        {"CurveP256", "SECP256R1"}, {"CurveP384", "SECP384R1"}, {"CurveP521", "SECP521R1"}, {"X25519", "X25519"}};
    std::vector<std::string> names;
    if (!ReadNames(node, "curve_preferences", names, reason))
        return false;
    if (names.empty())
        return Fail(reason, "curve_preferences is an empty list");
    groups = ":-GROUP-ALL";
    for (const auto& name : names) {
        const auto group = Groups.find(name);
        if (group == Groups.end())
            return Fail(reason,
                        "curve_preferences: " + name + " is not supported (CurveP256, CurveP384, CurveP521, X25519)");
        groups += std::string(":+GROUP-") + group->second;
    }
    return true;
}

// The exporters' floor, TLS 1.2, and what the file narrows it to; in TLS 1.2 only the
// forward-secret ECDHE key exchanges, as the exporters offer by default (TLS 1.3 has no other).
bool SetVersions(int min, int max, WebConfig::Tls& tls, std::string* reason) {
    if (min > max)
        return Fail(reason, "min_version is above max_version");
    tls.priorities = "NORMAL:-KX-ALL:+ECDHE-ECDSA:+ECDHE-RSA:-VERS-ALL";
    for (int version = max; version >= min; --version)
        tls.priorities += version == 13 ? ":+VERS-TLS1.3" : ":+VERS-TLS1.2";
    return true;
}

bool ReadTls(const YAML::Node& node, const std::filesystem::path& folder, WebConfig& config, std::string* reason) {
    WebConfig::Tls& tls = config.tls.emplace();
    if (!node.IsMap())
        return Fail(reason, "tls_server_config is not a map");
    std::string clientAuth = "NoClientCert";
    std::string groups;
    std::optional<std::vector<std::string>> suites;
    int min = 12, max = 13;
    for (const auto& entry : node) {
        const std::string key = entry.first.as<std::string>();
        bool read;
        if (key == "cert_file")
            read = ReadNamedFile(entry.second, key, folder, tls.certificate, config.files, reason);
        else if (key == "key_file") {
            mode_t mode = 0;
            read = ReadNamedFile(entry.second, key, folder, tls.key, config.files, reason, &mode);
            if (read && (mode & S_IROTH))
                config.warnings.push_back("its key_file is readable by every user of the machine");
        } else if (key == "client_ca_file")
            read = ReadNamedFile(entry.second, key, folder, tls.clientCa, config.files, reason);
        else if (key == "client_auth_type")
            read = ReadScalar(entry.second, key, clientAuth, reason);
        else if (key == "min_version")
            read = ReadVersion(entry.second, key, min, reason);
        else if (key == "max_version")
            read = ReadVersion(entry.second, key, max, reason);
        else if (key == "curve_preferences")
            read = ReadCurves(entry.second, groups, reason);
        else if (key == "cipher_suites")
            read = ReadNames(entry.second, key, suites.emplace(), reason);
        else
            read = Fail(reason, "tls_server_config: " + key + " is not supported");
        if (!read)
            return false;
    }
    if (tls.certificate.empty() || tls.key.empty())
        return Fail(reason, "tls_server_config needs both cert_file and key_file");
    if (!SetVersions(min, max, tls, reason))
        return false;
    if (suites) {
        const auto items = CipherSuitePriorities(*suites, tls.priorities, max == 13, reason);
        if (!items)
            return false;
        tls.priorities += *items;
    }
    tls.priorities += groups;
    using ClientAuth = WebConfig::Tls::ClientAuth;
    static const std::map<std::string, ClientAuth, std::less<>> AuthTypes = {
        {"NoClientCert", ClientAuth::None},
        {"RequestClientCert", ClientAuth::Request},
        {"RequireAnyClientCert", ClientAuth::RequireAny},
        {"VerifyClientCertIfGiven", ClientAuth::VerifyIfGiven},
        {"RequireAndVerifyClientCert", ClientAuth::RequireAndVerify}};
    const auto type = AuthTypes.find(clientAuth);
    if (type == AuthTypes.end())
        return Fail(reason, "client_auth_type " + clientAuth + " is not supported");
    tls.clientAuth = type->second;
    if (tls.clientAuth == ClientAuth::None)
        return tls.clientCa.empty() || Fail(reason, "client_ca_file is given but client_auth_type is NoClientCert");
    const bool verifies = tls.clientAuth == ClientAuth::VerifyIfGiven || tls.clientAuth == ClientAuth::RequireAndVerify;
    return !verifies || !tls.clientCa.empty() || Fail(reason, clientAuth + " needs client_ca_file");
}

// A bcrypt hash as crypt writes it ($2a$, $2b$ or $2y$, the cost in two digits, a $, then 53
// characters of bcrypt's base64: salt and digest) of a cost the endpoint can afford: each
// password that is not remembered costs 2^cost rounds on the server's one thread, a second or
// so at 14, and doubling with each step beyond.
bool CheckHash(const std::string& name, const std::string& hash, std::string* reason) {
    constexpr std::string_view Base64 = "./ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr int MinCost = 4, MaxCost = 14;
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const bool form =
        hash.size() == 60 && (hash.starts_with("$2a$") || hash.starts_with("$2b$") || hash.starts_with("$2y$")) &&
        digit(hash[4]) && digit(hash[5]) && hash[6] == '$' && hash.find_first_not_of(Base64, 7) == std::string::npos;
    if (!form)
        return Fail(reason, "the hash of user " + name + " is not a bcrypt hash");
    const int cost = (hash[4] - '0') * 10 + (hash[5] - '0');
    if (cost < MinCost || cost > MaxCost)
        return Fail(reason, "the hash of user " + name + " has cost " + std::to_string(cost) + ", not " +
                                std::to_string(MinCost) + " to " + std::to_string(MaxCost));
    return true;
}

bool ReadUsers(const YAML::Node& node, std::map<std::string, std::string>& users, std::string* reason) {
    if (node.IsNull())
        return true;  // "basic_auth_users:" alone: no users, as the exporters read it
    if (!node.IsMap())
        return Fail(reason, "basic_auth_users is not a map");
    for (const auto& entry : node) {
        const std::string name = entry.first.as<std::string>();
        if (name.find(':') != std::string::npos)
            return Fail(reason, "user " + name + " has a colon in the name, which basic authentication cannot carry");
        std::string hash;
        if (!ReadScalar(entry.second, "the hash of user " + name, hash, reason) || !CheckHash(name, hash, reason))
            return false;
        users[name] = hash;
    }
    return true;
}

// A key given twice in any map of the document, `where` the keys above it: the exporters refuse
// such a file, and whichever of the two were taken, the other might have asked for more.
bool NoKeyTwice(const YAML::Node& node, const std::string& where, std::string* reason) {
    if (node.IsSequence()) {
        for (const auto& item : node)
            if (!NoKeyTwice(item, where, reason))
                return false;
    }
    if (!node.IsMap())
        return true;
    std::set<std::string> keys;
    for (const auto& entry : node) {
        const std::string key = entry.first.as<std::string>();
        const std::string path = where.empty() ? key : where + ": " + key;
        if (!keys.insert(key).second)
            return Fail(reason, path + " is given twice");
        if (!NoKeyTwice(entry.second, path, reason))
            return false;
    }
    return true;
}

gnutls_datum_t Datum(const std::string& text) {
    return {reinterpret_cast<unsigned char*>(const_cast<char*>(text.data())), static_cast<unsigned>(text.size())};
}

// "2026-12-08 14:05 UTC".
std::string UtcText(std::time_t time) {
    std::tm parts{};
    char text[32] = "?";
    if (gmtime_r(&time, &parts))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &parts);
    return text;
}

// A warning when a certificate of the PEM text `pem`, which `key` names, is outside its
// validity now: the server's is refused by every client then, a client CA's by the server.
void SayValidity(const std::string& pem, const std::string& key, std::vector<std::string>& warnings) {
    gnutls_x509_crt_t* list = nullptr;
    unsigned count = 0;
    const gnutls_datum_t data = Datum(pem);
    if (gnutls_x509_crt_list_import2(&list, &count, &data, GNUTLS_X509_FMT_PEM, 0) < 0)
        return;
    const std::time_t now = std::time(nullptr);
    std::string said;
    for (unsigned i = 0; i < count; ++i) {
        const std::time_t from = gnutls_x509_crt_get_activation_time(list[i]);
        const std::time_t until = gnutls_x509_crt_get_expiration_time(list[i]);
        if (said.empty() && now > until)
            said = "its " + key + " holds a certificate that expired on " + UtcText(until);
        else if (said.empty() && now < from)
            said = "its " + key + " holds a certificate not valid until " + UtcText(from);
        gnutls_x509_crt_deinit(list[i]);
    }
    gnutls_free(list);
    if (!said.empty())
        warnings.push_back(said);
}

// Loads the certificate, key and client CA as the server will, so that a bad one is named now.
bool CheckWithGnuTls(const WebConfig::Tls& tls, std::string* reason) {
    gnutls_certificate_credentials_t credentials = nullptr;
    if (gnutls_certificate_allocate_credentials(&credentials) != GNUTLS_E_SUCCESS)
        return Fail(reason, "GnuTLS cannot allocate credentials");
    const gnutls_datum_t certificate = Datum(tls.certificate), key = Datum(tls.key), ca = Datum(tls.clientCa);
    const int loaded =
        gnutls_certificate_set_x509_key_mem2(credentials, &certificate, &key, GNUTLS_X509_FMT_PEM, nullptr, 0);
    bool ok = loaded >= 0;
    if (!ok)
        *reason = std::string("cert_file and key_file are not a PEM certificate and its unencrypted key: ") +
                  gnutls_strerror(loaded);
    // The number of certificates read; none is no CA.
    else if (!tls.clientCa.empty() && gnutls_certificate_set_x509_trust_mem(credentials, &ca, GNUTLS_X509_FMT_PEM) <= 0)
        ok = Fail(reason, "client_ca_file holds no PEM certificate");
    gnutls_certificate_free_credentials(credentials);
    return ok;
}

bool ReadConfig(const YAML::Node& root, const std::filesystem::path& folder, WebConfig& config, std::string* reason) {
    if (root.IsNull())
        return Fail(reason, "the file is empty");
    if (!root.IsMap())
        return Fail(reason, "the file is not a YAML map");
    if (!NoKeyTwice(root, "", reason))
        return false;
    for (const auto& entry : root) {
        const std::string key = entry.first.as<std::string>();
        if (key == "tls_server_config") {
            if (!ReadTls(entry.second, folder, config, reason) || !CheckWithGnuTls(*config.tls, reason))
                return false;
            SayValidity(config.tls->certificate, "cert_file", config.warnings);
            SayValidity(config.tls->clientCa, "client_ca_file", config.warnings);
        } else if (key == "basic_auth_users") {
            if (!ReadUsers(entry.second, config.users, reason))
                return false;
        } else {
            return Fail(reason, key + " is not supported");
        }
    }
    // A site that names a web configuration means to close the endpoint: never open HTTP.
    return config.tls || !config.users.empty() ||
           Fail(reason, "it asks for neither TLS (tls_server_config) nor passwords (basic_auth_users)");
}

}  // namespace

std::optional<WebConfig> ReadWebConfig(const std::string& path, std::string* reason) {
    std::string text;
    mode_t mode = 0;
    if (std::string why; !ReadSmallFile(path, text, &why, &mode)) {
        *reason = "the file cannot be read: " + why;
        return std::nullopt;
    }
    WebConfig config;
    if (mode & S_IWOTH)
        config.warnings.push_back("every user of the machine may write it");
    try {
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        // A second document would be another's settings, or ours cut in two: none is taken. An
        // empty one (a trailing "---" and comments) holds nothing to take.
        const std::vector<YAML::Node> documents = YAML::LoadAll(text);
        if (documents.size() > 1 &&
            std::any_of(documents.begin() + 1, documents.end(), [](const YAML::Node& d) { return !d.IsNull(); })) {
            *reason = "it holds more than one YAML document";
            return std::nullopt;
        }
        if (!ReadConfig(documents.empty() ? YAML::Node() : documents.front(), folder, config, reason))
            return std::nullopt;
    } catch (const YAML::Exception& error) {
        *reason = std::string("not valid YAML: ") + error.what();
        return std::nullopt;
    }
    return config;
}
