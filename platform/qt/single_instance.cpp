#include "platform/qt/single_instance.h"

#include "platform/sys/local_socket.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QSocketNotifier>
#include <QThread>

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace {

// The whole conversation: the later start asks, the holder answers once it is in front.
constexpr char kRequest[] = "come-forward\n";
constexpr char kAnswer[] = "forward\n";
constexpr qsizetype kLongestLine = 64;
// How long a later start waits between tries while the holder is not listening yet (or no more).
constexpr unsigned long kRetryMs = 50;

// One later start's connection to the holder: read up to a line, answered at most once, then
// hung up. It deletes itself when the line is in, or the peer has gone.
class Peer : public QObject {
public:
    Peer(UniqueFd socket, SingleInstance* holder)
        : QObject(holder),
          holder_(holder),
          socket_(std::move(socket)),
          notifier_(socket_.Get(), QSocketNotifier::Read, this) {
        connect(&notifier_, &QSocketNotifier::activated, this, &Peer::Read);
    }

private:
    void Read() {
        char buffer[kLongestLine];
        const ssize_t got = recv(socket_.Get(), buffer, static_cast<std::size_t>(kLongestLine - line_.size()), 0);
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (got > 0)
            line_.append(buffer, got);
        if (got > 0 && !line_.contains('\n') && line_.size() < kLongestLine)
            return;  // the rest of the line is on its way
        if (line_.left(line_.indexOf('\n') + 1) == kRequest) {
            emit holder_->ComeForwardRequested();
            send(socket_.Get(), kAnswer, sizeof kAnswer - 1, MSG_NOSIGNAL);
        }
        notifier_.setEnabled(false);
        deleteLater();
    }

    SingleInstance* holder_;
    UniqueFd socket_;
    QSocketNotifier notifier_;  // goes before the socket it watches
    QByteArray line_;
};

}  // namespace

SingleInstance::SingleInstance(const std::string& runtimeDir, const std::string& key, QObject* parent)
    : QObject(parent) {
    if (runtimeDir.empty()) {
        trouble_ = QStringLiteral("no runtime folder (XDG_RUNTIME_DIR is not set)");
        return;
    }
    const std::string stem = runtimeDir + "/decimon-" + key;
    lock_ = std::make_unique<InstanceLock>(stem + ".lock");
    socketPath_ = stem + ".socket";
}

// The socket file goes first, the lock with the object's last member.
SingleInstance::~SingleInstance() {
    if (listener_.Valid())
        unlink(socketPath_.c_str());
}

SingleInstance::Role SingleInstance::Decide(std::chrono::milliseconds patience) {
    if (!lock_)
        return Role::Unguarded;
    const QDeadlineTimer deadline(patience);
    for (;;) {
        switch (lock_->TryLock()) {
        case InstanceLock::State::Held:
            Listen();
            return Role::First;
        case InstanceLock::State::Failed:
            trouble_ = QString::fromStdString(lock_->Trouble());
            return Role::Unguarded;
        case InstanceLock::State::HeldElsewhere:
            break;
        }
        if (AskHolderToComeForward(deadline))
            return Role::Second;
        if (deadline.hasExpired())
            return Role::SecondUnanswered;
        QThread::msleep(kRetryMs);
    }
}

bool SingleInstance::AskHolderToComeForward(const QDeadlineTimer& deadline) const {
    return AskAt(socketPath_, kRequest, kLongestLine, deadline.deadline<std::chrono::steady_clock>()) == kAnswer;
}

void SingleInstance::Listen() {
    // This process holds the lock, so any socket file there is a dead holder's.
    std::string trouble;
    listener_ = ListenAt(socketPath_, trouble);
    if (!listener_.Valid()) {
        trouble_ = QStringLiteral("cannot listen at %1: %2")
                       .arg(QString::fromStdString(socketPath_), QString::fromStdString(trouble));
        return;
    }
    listening_ = std::make_unique<QSocketNotifier>(listener_.Get(), QSocketNotifier::Read);
    connect(listening_.get(), &QSocketNotifier::activated, this, &SingleInstance::AcceptPeers);
}

void SingleInstance::AcceptPeers() {
    for (UniqueFd peer = AcceptFrom(listener_); peer.Valid(); peer = AcceptFrom(listener_))
        new Peer(std::move(peer), this);
}
