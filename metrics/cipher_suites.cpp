#include "metrics/cipher_suites.h"

#include <gnutls/gnutls.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string_view>

namespace {

struct Suite {
    std::uint16_t id;  // the IANA number, as GnuTLS reports the suites a priority offers
    const char* kx;
    const char* cipher;
    const char* mac;
};

// Go's names of its TLS 1.2 suites with ECDHE key exchange.
const std::map<std::string, Suite, std::less<>>& ForwardSecretSuites() {
    static const std::map<std::string, Suite, std::less<>> Suites = {
        {"TLS_ECDHE_ECDSA_WITH_RC4_128_SHA", {0xC007, "ECDHE-ECDSA", "ARCFOUR-128", "SHA1"}},
        {"TLS_ECDHE_ECDSA_WITH_AES_128_CBC_SHA", {0xC009, "ECDHE-ECDSA", "AES-128-CBC", "SHA1"}},
        {"TLS_ECDHE_ECDSA_WITH_AES_256_CBC_SHA", {0xC00A, "ECDHE-ECDSA", "AES-256-CBC", "SHA1"}},
        {"TLS_ECDHE_RSA_WITH_RC4_128_SHA", {0xC011, "ECDHE-RSA", "ARCFOUR-128", "SHA1"}},
        {"TLS_ECDHE_RSA_WITH_3DES_EDE_CBC_SHA", {0xC012, "ECDHE-RSA", "3DES-CBC", "SHA1"}},
        {"TLS_ECDHE_RSA_WITH_AES_128_CBC_SHA", {0xC013, "ECDHE-RSA", "AES-128-CBC", "SHA1"}},
        {"TLS_ECDHE_RSA_WITH_AES_256_CBC_SHA", {0xC014, "ECDHE-RSA", "AES-256-CBC", "SHA1"}},
        {"TLS_ECDHE_ECDSA_WITH_AES_128_CBC_SHA256", {0xC023, "ECDHE-ECDSA", "AES-128-CBC", "SHA256"}},
        {"TLS_ECDHE_RSA_WITH_AES_128_CBC_SHA256", {0xC027, "ECDHE-RSA", "AES-128-CBC", "SHA256"}},
        {"TLS_ECDHE_ECDSA_WITH_AES_128_GCM_SHA256", {0xC02B, "ECDHE-ECDSA", "AES-128-GCM", "AEAD"}},
        {"TLS_ECDHE_ECDSA_WITH_AES_256_GCM_SHA384", {0xC02C, "ECDHE-ECDSA", "AES-256-GCM", "AEAD"}},
        {"TLS_ECDHE_RSA_WITH_AES_128_GCM_SHA256", {0xC02F, "ECDHE-RSA", "AES-128-GCM", "AEAD"}},
        {"TLS_ECDHE_RSA_WITH_AES_256_GCM_SHA384", {0xC030, "ECDHE-RSA", "AES-256-GCM", "AEAD"}},
        {"TLS_ECDHE_RSA_WITH_CHACHA20_POLY1305", {0xCCA8, "ECDHE-RSA", "CHACHA20-POLY1305", "AEAD"}},
        {"TLS_ECDHE_RSA_WITH_CHACHA20_POLY1305_SHA256", {0xCCA8, "ECDHE-RSA", "CHACHA20-POLY1305", "AEAD"}},
        {"TLS_ECDHE_ECDSA_WITH_CHACHA20_POLY1305", {0xCCA9, "ECDHE-ECDSA", "CHACHA20-POLY1305", "AEAD"}},
        {"TLS_ECDHE_ECDSA_WITH_CHACHA20_POLY1305_SHA256", {0xCCA9, "ECDHE-ECDSA", "CHACHA20-POLY1305", "AEAD"}}};
    return Suites;
}

bool Fail(std::string* reason, const std::string& text) {
    if (reason)
        *reason = "cipher_suites: " + text;
    return false;
}

void AddOnce(std::vector<std::string_view>& items, std::string_view item) {
    if (std::find(items.begin(), items.end(), item) == items.end())
        items.push_back(item);
}

// The suites GnuTLS offers for `priorities`: TLS 1.2 ones by number, and whether any is TLS 1.3.
bool OfferedSuites(const std::string& priorities, std::set<std::uint16_t>& tls12, bool& tls13, std::string* reason) {
    gnutls_priority_t cache = nullptr;
    if (gnutls_priority_init(&cache, priorities.c_str(), nullptr) < 0)
        return Fail(reason, "GnuTLS cannot take the priority " + priorities);
    tls13 = false;
    for (unsigned index = 0;; ++index) {
        unsigned suite = 0;
        const int result = gnutls_priority_get_cipher_suite_index(cache, index, &suite);
        if (result == GNUTLS_E_REQUESTED_DATA_NOT_AVAILABLE)
            break;
        std::array<unsigned char, 2> id{};
        if (result < 0 || !gnutls_cipher_suite_info(suite, id.data(), nullptr, nullptr, nullptr, nullptr))
            continue;
        if (id[0] == 0x13)
            tls13 = true;
        else
            tls12.insert(static_cast<std::uint16_t>(id[0] << 8 | id[1]));
    }
    gnutls_priority_deinit(cache);
    return true;
}

}  // namespace

std::optional<std::string> CipherSuitePriorities(const std::vector<std::string>& names, const std::string& base,
                                                 bool tls13, std::string* reason) {
    if (names.empty())
        return Fail(reason, "the list is empty"), std::nullopt;
    std::vector<std::string_view> kx, ciphers, macs;
    std::set<std::uint16_t> wanted;
    for (const auto& name : names) {
        const auto suite = ForwardSecretSuites().find(name);
        if (suite == ForwardSecretSuites().end()) {
            const bool rsa = name.starts_with("TLS_RSA_WITH_");
            Fail(reason, name + (rsa ? " has no forward secrecy (static RSA key exchange)"
                                     : " is not a TLS 1.2 suite with ECDHE key exchange"));
            return std::nullopt;
        }
        wanted.insert(suite->second.id);
        AddOnce(kx, suite->second.kx);
        AddOnce(ciphers, suite->second.cipher);
        AddOnce(macs, suite->second.mac);
    }
    std::string items;
    const auto append = [&items](std::string_view all, const std::vector<std::string_view>& chosen) {
        items += std::string(":-") + std::string(all);
        for (const auto item : chosen)
            items += std::string(":+") + std::string(item);
    };
    append("KX-ALL", kx);
    append("CIPHER-ALL", ciphers);
    append("MAC-ALL", macs);
    std::set<std::uint16_t> offered;
    bool offersTls13 = false;
    if (!OfferedSuites(base + items, offered, offersTls13, reason))
        return std::nullopt;
    if (offered != wanted) {
        Fail(reason, "GnuTLS cannot offer exactly these suites (it combines key exchanges, ciphers and MACs freely, "
                     "or has some of them disabled)");
        return std::nullopt;
    }
    if (tls13 && !offersTls13) {
        Fail(reason, "names no cipher that TLS 1.3 has (AES-GCM or ChaCha20-Poly1305); set max_version: TLS12");
        return std::nullopt;
    }
    return items;
}
