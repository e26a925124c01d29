#pragma once
// The endpoint's bcrypt checks on a thread of their own, so that the server's thread, which
// serves pages, TLS handshakes and remembered passwords, never waits behind one (a check of
// cost 14 takes about a second). The server hands over a name and password with what to do
// with the verdict, and the checker runs the checks in turn. Stop drops the checks waiting and
// returns at once: no verdict comes after it, and a check under way ends on the thread, which
// then lets go of everything it holds.

#include "metrics/basic_auth.h"

#include <functional>
#include <memory>
#include <string>

class PasswordChecker {
public:
    using Verdict = std::function<void(bool allowed)>;

    // Throws std::system_error when no thread can be started.
    explicit PasswordChecker(std::shared_ptr<BasicAuth> auth);
    ~PasswordChecker();
    PasswordChecker(const PasswordChecker&) = delete;
    PasswordChecker& operator=(const PasswordChecker&) = delete;

    // Queues a check; `verdict` is called on the checker's thread, never after Stop.
    void Submit(std::string user, std::string password, Verdict verdict);
    void Stop();

private:
    struct Shared;
    static void Run(const std::shared_ptr<Shared>& shared);

    std::shared_ptr<Shared> shared_;
};
