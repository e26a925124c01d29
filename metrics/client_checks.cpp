#include "metrics/client_checks.h"

#include <gnutls/x509.h>
#include <strings.h>

#include <algorithm>
#include <string_view>

const char* ClientCertificateRefusal(gnutls_session_t session) {
    gnutls_typed_vdata_st purpose{GNUTLS_DT_KEY_PURPOSE_OID,
                                  reinterpret_cast<unsigned char*>(const_cast<char*>(GNUTLS_KP_TLS_WWW_CLIENT)), 0};
    unsigned status = 0;
    const int verified = gnutls_certificate_verify_peers(session, &purpose, 1, &status);
    if (verified == GNUTLS_E_NO_CERTIFICATE_FOUND)
        return "no client certificate";
    if (verified != GNUTLS_E_SUCCESS)
        return "a client certificate that cannot be checked";
    if (status == 0)
        return nullptr;
    if (status & GNUTLS_CERT_SIGNER_NOT_FOUND)
        return "a client certificate that client_ca_file did not sign";
    if (status & GNUTLS_CERT_EXPIRED)
        return "an expired client certificate";
    if (status & GNUTLS_CERT_NOT_ACTIVATED)
        return "a client certificate not valid yet";
    if (status & GNUTLS_CERT_PURPOSE_MISMATCH)
        return "a certificate not for clients";
    return "a client certificate that does not verify";
}

bool BasicCredentials(const char* header, std::string& user, std::string& password) {
    constexpr std::string_view Scheme = "basic ";
    if (!header || strncasecmp(header, Scheme.data(), Scheme.size()) != 0)
        return false;
    std::string_view encoded(header + Scheme.size());
    encoded.remove_prefix(std::min(encoded.find_first_not_of(' '), encoded.size()));
    const gnutls_datum_t in{reinterpret_cast<unsigned char*>(const_cast<char*>(encoded.data())),
                            static_cast<unsigned>(encoded.size())};
    gnutls_datum_t out{};
    if (gnutls_base64_decode2(&in, &out) < 0)
        return false;
    const std::string_view pair(reinterpret_cast<const char*>(out.data), out.size);
    const std::size_t colon = pair.find(':');
    const bool read = colon != std::string_view::npos && pair.find('\0') == std::string_view::npos;
    if (read) {
        user.assign(pair.substr(0, colon));
        password.assign(pair.substr(colon + 1));
    }
    gnutls_memset(out.data, 0, out.size);
    gnutls_free(out.data);
    return read;
}
