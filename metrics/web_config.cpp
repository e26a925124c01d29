#include "metrics/web_config.h"

#include <gnutls/gnutls.h>
#include <yaml-cpp/yaml.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

namespace {

// Larger files are not configurations or certificates (and /dev/zero never ends).
constexpr std::size_t kMaxFileBytes = 1 << 20;

bool Fail(std::string* reason, std::string why) {
    *reason = std::move(why);
    return false;
}

bool ReadSmallFile(const std::filesystem::path& path, std::string& text, std::string* reason) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return Fail(reason, std::strerror(errno));
    char buffer[8192];
    text.clear();
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        text.append(buffer, n);
        if (text.size() > kMaxFileBytes)
            return Fail(reason, "larger than 1 MiB");
    }
    return !std::ferror(file.get()) || Fail(reason, std::strerror(errno));
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
                   std::string& text, std::string* reason) {
    std::string name;
    if (!ReadScalar(node, key, name, reason))
        return false;
    if (name.empty())
        return Fail(reason, key + " is empty");
    std::string why;
    if (!ReadSmallFile(folder / name, text, &why))
        return Fail(reason, key + " \"" + (folder / name).string() + "\" cannot be read: " + why);
    return true;
}

bool ReadTls(const YAML::Node& node, const std::filesystem::path& folder, WebConfig::Tls& tls, std::string* reason) {
    if (!node.IsMap())
        return Fail(reason, "tls_server_config is not a map");
    std::string clientAuth = "NoClientCert";
    for (const auto& entry : node) {
        const std::string key = entry.first.as<std::string>();
        bool read;
        if (key == "cert_file")
            read = ReadNamedFile(entry.second, key, folder, tls.certificate, reason);
        else if (key == "key_file")
            read = ReadNamedFile(entry.second, key, folder, tls.key, reason);
        else if (key == "client_ca_file")
            read = ReadNamedFile(entry.second, key, folder, tls.clientCa, reason);
        else if (key == "client_auth_type")
            read = ReadScalar(entry.second, key, clientAuth, reason);
        else
            read = Fail(reason, "tls_server_config: " + key + " is not supported");
        if (!read)
            return false;
    }
    if (tls.certificate.empty() || tls.key.empty())
        return Fail(reason, "tls_server_config needs both cert_file and key_file");
    if (clientAuth == "NoClientCert")
        return tls.clientCa.empty() || Fail(reason, "client_ca_file is given but client_auth_type is NoClientCert");
    if (clientAuth != "RequireAndVerifyClientCert")
        return Fail(reason, "client_auth_type " + clientAuth + " is not supported");
    return !tls.clientCa.empty() || Fail(reason, "RequireAndVerifyClientCert needs client_ca_file");
}

bool ReadUsers(const YAML::Node& node, std::map<std::string, std::string>& users, std::string* reason) {
    if (!node.IsMap())
        return Fail(reason, "basic_auth_users is not a map");
    for (const auto& entry : node) {
        const std::string name = entry.first.as<std::string>();
        std::string hash;
        if (!ReadScalar(entry.second, "the hash of user " + name, hash, reason))
            return false;
        // Checked by crypt_rn; this catches a password written in clear or another hash's form.
        const bool bcrypt =
            hash.size() == 60 && (hash.starts_with("$2a$") || hash.starts_with("$2b$") || hash.starts_with("$2y$"));
        if (!bcrypt)
            return Fail(reason, "the hash of user " + name + " is not a bcrypt hash");
        users[name] = hash;
    }
    return true;
}

gnutls_datum_t Datum(const std::string& text) {
    return {reinterpret_cast<unsigned char*>(const_cast<char*>(text.data())), static_cast<unsigned>(text.size())};
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
    for (const auto& entry : root) {
        const std::string key = entry.first.as<std::string>();
        if (key == "tls_server_config") {
            if (!ReadTls(entry.second, folder, config.tls.emplace(), reason) || !CheckWithGnuTls(*config.tls, reason))
                return false;
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
    if (std::string why; !ReadSmallFile(path, text, &why)) {
        *reason = "the file cannot be read: " + why;
        return std::nullopt;
    }
    WebConfig config;
    try {
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (!ReadConfig(YAML::Load(text), folder, config, reason))
            return std::nullopt;
    } catch (const YAML::Exception& error) {
        *reason = std::string("not valid YAML: ") + error.what();
        return std::nullopt;
    }
    return config;
}
