#pragma once
// One recorder per record: a lock file beside the record ("<record>.lock", mode 0600), locked
// (flock) while a display records into the record, and let go at its end or with its process.
// A second display that cannot take it records nothing until it can.

#include <string>

class RecordLock {
public:
    explicit RecordLock(std::string recordPath) : path_(std::move(recordPath) + ".lock") {}
    ~RecordLock();
    RecordLock(const RecordLock&) = delete;
    RecordLock& operator=(const RecordLock&) = delete;

    // Takes the lock when it is free (making the folder and the file when missing), or again
    // when its file left the path; true while it is held. False when another holds it (HeldElsewhere) or it cannot be
    // had (Error says why).
    bool Take();
    bool Held() const { return fd_ >= 0; }
    bool HeldElsewhere() const { return heldElsewhere_; }
    const std::string& Error() const { return error_; }

private:
    bool StillAtPath() const;

    std::string path_;
    int fd_ = -1;
    bool heldElsewhere_ = false;
    std::string error_;
};
