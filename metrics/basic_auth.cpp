#include "metrics/basic_auth.h"

#include <crypt.h>
#include <gnutls/crypto.h>
#include <gnutls/gnutls.h>

namespace {

// Compares all of both texts whatever they hold, so that the time taken tells nothing.
bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        difference |= static_cast<unsigned char>(a[i] ^ b[i]);
    return difference == 0;
}

}  // namespace

BasicAuth::BasicAuth(const std::map<std::string, std::string>& users)
    : users_(users.begin(), users.end()), scratch_(std::make_unique<crypt_data>()) {
    // Should the system have no random bytes, a zero key still keeps every pair apart.
    gnutls_rnd(GNUTLS_RND_KEY, cacheKey_.data(), cacheKey_.size());
}

BasicAuth::~BasicAuth() = default;

BasicAuth::Digest BasicAuth::KeyedDigest(std::string_view user, std::string_view password) const {
    // The name cannot hold a NUL (it comes from a C string), so the pair is told apart exactly.
    std::string pair;
    pair.reserve(user.size() + 1 + password.size());
    pair.append(user).append(1, '\0').append(password);
    Digest digest{};
    gnutls_hmac_fast(GNUTLS_MAC_SHA256, cacheKey_.data(), cacheKey_.size(), pair.data(), pair.size(), digest.data());
    gnutls_memset(pair.data(), 0, pair.size());
    return digest;
}

bool BasicAuth::Remembered(const char* user, const char* password) {
    const Digest digest = KeyedDigest(user, password);
    std::lock_guard lock(mutex_);
    return verified_.contains(digest);
}

bool BasicAuth::Check(const char* user, const char* password) {
    const auto found = users_.find(user);
    const std::string& hash = found != users_.end() ? found->second : users_.begin()->second;
    // crypt_rn rather than crypt_r: a null pointer on failure instead of a text to tell apart,
    // and no sanitizer interceptor of crypt_r (which finds no crypt_r in a library loaded after
    // the program started, as this module's is).
    const char* computed = crypt_rn(password, hash.c_str(), scratch_.get(), sizeof(crypt_data));
    const bool allowed = found != users_.end() && computed && SameText(computed, hash);
    if (allowed) {
        const Digest digest = KeyedDigest(user, password);
        std::lock_guard lock(mutex_);
        if (verified_.size() >= MaxRemembered)
            verified_.clear();
        verified_.insert(digest);
    }
    return allowed;
}
