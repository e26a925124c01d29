#pragma once
// cipher_suites of the web configuration: the exporters' names for TLS 1.2 suites (Go's
// crypto/tls constants, such as TLS_ECDHE_RSA_WITH_AES_128_GCM_SHA256) as a GnuTLS priority.
// GnuTLS chooses key exchanges, ciphers and MACs separately and offers every suite they combine
// to, so a list is taken only when that combination is exactly the list; a name without forward
// secrecy (static RSA key exchange), a name not known, or a list that is not exact is refused.
// TLS 1.3 has no cipher_suites of its own here: it offers those of its suites whose cipher the
// list names, and a list that leaves it none is refused while TLS 1.3 is allowed. Part of the
// server's module only.

#include <optional>
#include <string>
#include <vector>

// The priority items (":-KX-ALL:+ECDHE-RSA:-CIPHER-ALL:+AES-128-GCM:-MAC-ALL:+AEAD") that offer
// exactly `names` on top of `base` (a GnuTLS priority string that sets the versions), or nullopt
// with the reason.
std::optional<std::string> CipherSuitePriorities(const std::vector<std::string>& names, const std::string& base,
                                                 bool tls13, std::string* reason);
