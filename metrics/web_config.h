#pragma once
// The metrics endpoint's web configuration ("MetricsWebConfig"): TLS and passwords, in the YAML
// form that Prometheus' exporters read from their web configuration file, so that a site reuses
// the file it writes for its other exporters:
//
//   tls_server_config:
//     cert_file: server.crt          # PEM; a relative path is taken from the file's folder
//     key_file: server.key
//     client_auth_type: RequireAndVerifyClientCert   # NoClientCert (the default),
//                       # RequestClientCert, RequireAnyClientCert, VerifyClientCertIfGiven
//     client_ca_file: clients-ca.crt
//     min_version: TLS12             # or TLS13; TLS12, the default, and max_version TLS13
//     curve_preferences: [X25519, CurveP256]   # the groups offered, in order; all by default
//   basic_auth_users:
//     prometheus: $2y$10$...         # bcrypt hashes of cost 4 to 14
//
//     cipher_suites: [TLS_ECDHE_RSA_WITH_AES_128_GCM_SHA256]   # TLS 1.2, ECDHE only; see cipher_suites.h
//
// Any other key (HTTP headers, for one) is refused, not ignored:
// a file that asks for more than this server does is not served at all. So is a file that asks
// for neither TLS nor passwords, one that gives a key twice in any map or holds a second YAML
// document that is not empty, a user name with a colon (which basic authentication cannot
// carry), and one whose path (or a path it names) is not a regular file: a FIFO or a device is
// never opened to wait on. A null basic_auth_users is no users, as the exporters take it. Part
// of the server's module only.

#include <map>
#include <optional>
#include <string>
#include <vector>

struct WebConfig {
    struct Tls {
        std::string certificate;  // PEM texts, as read from the files
        std::string key;
        std::string clientCa;  // empty: none given
        // client_auth_type, with the exporters' meaning: whether a client certificate is asked
        // for, whether one must come, and whether it is verified against clientCa.
        enum class ClientAuth { None, Request, RequireAny, VerifyIfGiven, RequireAndVerify };
        ClientAuth clientAuth = ClientAuth::None;
        // The versions offered, as a GnuTLS priority string: TLS 1.2 and 1.3 unless narrowed,
        // in TLS 1.2 with ECDHE key exchange only.
        std::string priorities;
    };
    std::optional<Tls> tls;                    // none: plain HTTP
    std::map<std::string, std::string> users;  // name -> bcrypt hash; empty: no passwords
    // What is served all the same but should be put right (a key file that every user of the
    // machine may read, a file they may all write), one text each.
    std::vector<std::string> warnings;
    std::vector<std::string> files;  // the paths of the files it names, as read
};

// The file at `path`, with the files it names read in and the certificate, key and client CA
// checked as GnuTLS will load them. Nullopt with the reason when any of it cannot be used.
std::optional<WebConfig> ReadWebConfig(const std::string& path, std::string* reason);
