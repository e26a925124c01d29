#include "metrics/password_checker.h"

#include <gnutls/gnutls.h>
#include <sys/resource.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

constexpr int CheckerNice = 19;

void Wipe(std::string& password) {
    gnutls_memset(password.data(), 0, password.size());
}

}  // namespace

struct PasswordChecker::Shared {
    struct Check {
        std::string user;
        std::string password;
        Verdict verdict;
    };

    explicit Shared(std::shared_ptr<BasicAuth> checked) : auth(std::move(checked)) {}

    const std::shared_ptr<BasicAuth> auth;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Check> queue;  // under mutex
    bool stopped = false;     // under mutex
};

PasswordChecker::PasswordChecker(std::shared_ptr<BasicAuth> auth) : shared_(std::make_shared<Shared>(std::move(auth))) {
    // Detached: a check of cost 14 under way must not hold up the display's exit.
    std::thread([shared = shared_] { Run(shared); }).detach();
}

PasswordChecker::~PasswordChecker() {
    Stop();
}

void PasswordChecker::Submit(std::string user, std::string password, Verdict verdict) {
    std::lock_guard lock(shared_->mutex);
    if (shared_->stopped) {
        Wipe(password);
        return;
    }
    shared_->queue.push_back({std::move(user), std::move(password), std::move(verdict)});
    shared_->changed.notify_one();
}

void PasswordChecker::Stop() {
    std::lock_guard lock(shared_->mutex);
    shared_->stopped = true;
    for (Shared::Check& check : shared_->queue)
        Wipe(check.password);
    shared_->queue.clear();
    shared_->changed.notify_one();
}

void PasswordChecker::Run(const std::shared_ptr<Shared>& shared) {
    // Below the server's thread and the display's: a burst of guesses fills a core with bcrypt,
    // which must not take its time from pages, handshakes and painting. On Linux a thread has a
    // nice value of its own.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), CheckerNice);
    Shared& s = *shared;
    std::unique_lock lock(s.mutex);
    for (;;) {
        s.changed.wait(lock, [&s] { return s.stopped || !s.queue.empty(); });
        if (s.stopped)
            return;
        Shared::Check check = std::move(s.queue.front());
        s.queue.pop_front();
        lock.unlock();
        const bool allowed = s.auth->Check(check.user.c_str(), check.password.c_str());
        Wipe(check.password);
        lock.lock();
        if (!s.stopped)
            check.verdict(allowed);  // under the lock, so that Stop waits for it
    }
}
