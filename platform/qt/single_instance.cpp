#include "platform/qt/single_instance.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {

// The whole conversation: the later start asks, the holder answers once it is in front.
constexpr char kRequest[] = "come-forward\n";
constexpr char kAnswer[] = "forward\n";
constexpr qint64 kLongestLine = 64;
// How long a later start waits between tries while the holder is not listening yet (or no more).
constexpr unsigned long kRetryMs = 50;

int Remaining(const QDeadlineTimer& deadline) {
    return static_cast<int>(deadline.remainingTime());
}

}  // namespace

SingleInstance::SingleInstance(const std::string& runtimeDir, const std::string& key, QObject* parent)
    : QObject(parent) {
    if (runtimeDir.empty()) {
        trouble_ = QStringLiteral("no runtime folder (XDG_RUNTIME_DIR is not set)");
        return;
    }
    const std::string stem = runtimeDir + "/decimon-" + key;
    lock_ = std::make_unique<InstanceLock>(stem + ".lock");
    socketPath_ = QString::fromStdString(stem + ".socket");
}

// The server goes first (it removes its socket file), the lock with the object's last member.
SingleInstance::~SingleInstance() {
    delete server_;
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
    QLocalSocket socket;
    socket.connectToServer(socketPath_);
    // Fails at once while the holder has no socket (not yet, or no more), or a dead one's is left.
    if (!socket.waitForConnected(Remaining(deadline)))
        return false;
    socket.write(kRequest);
    // A holder that hangs takes the request but never answers: wait no longer than the deadline.
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(Remaining(deadline)))
            return false;
    }
    return socket.readLine(kLongestLine) == kAnswer;
}

void SingleInstance::Listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // This process holds the lock, so any socket file there is a dead holder's.
    QLocalServer::removeServer(socketPath_);
    if (!server_->listen(socketPath_)) {
        trouble_ = QStringLiteral("cannot listen at %1: %2").arg(socketPath_, server_->errorString());
        return;
    }
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = server_->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] { Answer(peer); });
        }
    });
}

void SingleInstance::Answer(QLocalSocket* peer) {
    if (!peer->canReadLine() && peer->bytesAvailable() < kLongestLine)
        return;  // the rest of the line is on its way
    if (peer->readLine(kLongestLine) == kRequest) {
        emit ComeForwardRequested();
        peer->write(kAnswer);
    }
    peer->disconnectFromServer();
}
