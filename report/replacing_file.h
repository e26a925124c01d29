#pragma once
// The report's file, written beside its target (a temporary in the same folder) and renamed
// into place only when complete and on the disk, so that a failed write (a full disk, a
// missing folder) leaves nothing behind and an existing report is replaced only by a whole
// new one.

#include <QIODevice>

#include <string>

class ReplacingFile final : public QIODevice {
public:
    explicit ReplacingFile(std::string target);
    // Removes the temporary unless Commit() put it in place.
    ~ReplacingFile() override;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Makes the temporary and opens the device for writing; false when it cannot.
    bool Begin();
    // Writes what is buffered, syncs the file to the disk and renames it to the target: false
    // (and the temporary gone) when any write failed or any of these does.
    bool Commit();
    // The reason of the first failure, in the system's words ("No space left on device").
    std::string Error() const;

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    bool Flush();
    bool Failed(int error);

    std::string target_;
    std::string temporary_;
    int fd_ = -1;
    int error_ = 0;
    std::string buffer_;  // the PDF comes in small pieces: written in blocks
};
