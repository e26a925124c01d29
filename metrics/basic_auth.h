#pragma once
// The passwords of the metrics endpoint's basic authentication: a name and password are let in
// when the system's crypt library (libxcrypt's crypt_rn) gives the user's bcrypt hash for them.
// Once verified, the pair is remembered by a keyed SHA-256 of it (the key random per server,
// the password never kept), so that a scrape every second does not pay a bcrypt each time;
// any other password misses and is checked in full. An unknown name costs a bcrypt too, so that
// timing does not tell which names exist. Remembered is quick and safe from any thread; Check
// runs the bcrypt and is called on one thread at a time (the password checker's).

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

struct crypt_data;

class BasicAuth {
public:
    // `users`: name -> bcrypt hash, at least one.
    explicit BasicAuth(const std::map<std::string, std::string>& users);
    ~BasicAuth();
    BasicAuth(const BasicAuth&) = delete;
    BasicAuth& operator=(const BasicAuth&) = delete;

    // Whether the pair has been let in before: no bcrypt.
    bool Remembered(const char* user, const char* password);
    // The bcrypt check in full; a pair let in is remembered.
    bool Check(const char* user, const char* password);

private:
    using Digest = std::array<unsigned char, 32>;
    // Enough for every user of a site; bcrypt reads only a password's first 72 bytes, so one who
    // knows a password could otherwise add longer variants without end.
    static constexpr std::size_t MaxRemembered = 64;
    Digest KeyedDigest(std::string_view user, std::string_view password) const;

    const std::map<std::string, std::string, std::less<>> users_;
    Digest cacheKey_{};
    std::unique_ptr<crypt_data> scratch_;  // crypt_rn's 32 kB of state, Check's alone
    std::mutex mutex_;
    std::set<Digest> verified_;  // under mutex_
};
