#pragma once
// One running copy per user and screen. The first start holds an instance lock in the user's
// runtime folder and listens on a local socket beside it; a later start finds the lock held
// and asks the holder, through the socket, to come to the front. The lock alone decides who
// is first: a socket file left behind by a holder that crashed is replaced by the next one.

#include "platform/sys/instance_lock.h"
#include "platform/sys/unique_fd.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <memory>
#include <string>

class QDeadlineTimer;
class QSocketNotifier;

class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Role {
        First,             // this process holds the lock; Trouble() is set when it cannot listen
        Unguarded,         // no lock to take (Trouble() says why): this process runs unguarded
        Second,            // another process holds the lock and came to the front
        SecondUnanswered,  // another process holds the lock and did not answer in time
    };

    // The lock and the socket are "decimon-KEY.lock" and "decimon-KEY.socket" in `runtimeDir`
    // (none when it is empty).
    SingleInstance(const std::string& runtimeDir, const std::string& key, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock, or asks its holder to come to the front, within `patience`. A holder
    // that ends in the meantime leaves the lock to this process.
    Role Decide(std::chrono::milliseconds patience);
    const QString& Trouble() const { return trouble_; }

signals:
    // A later start asked this one (First) to come to the front; it is answered on return.
    void ComeForwardRequested();

private:
    bool AskHolderToComeForward(const QDeadlineTimer& deadline) const;
    void Listen();
    void AcceptPeers();

    std::unique_ptr<InstanceLock> lock_;
    std::string socketPath_;
    UniqueFd listener_;                           // once this process is first
    std::unique_ptr<QSocketNotifier> listening_;  // goes before the socket it watches
    QString trouble_;
};
