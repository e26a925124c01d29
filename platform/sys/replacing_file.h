#pragma once
// A file replaced whole: written to a temporary beside it (its name with ".new") that is
// synced to the disk and renamed into place only when complete, so that a failed write (a
// full disk, a missing folder) or a crash leaves the old file or the new one, never part of
// one. The settings file and the report are written so.
//
// The target is followed through symbolic links (the file a link points to is replaced, the
// link stays); a target that exists and is not a regular file (a device, a FIFO, a folder) is
// refused and left as it is. Two writers of one target never write one temporary: the second
// is refused while the first writes.

#include "platform/sys/output_stream.h"
#include "platform/sys/unique_fd.h"

#include <sys/types.h>

#include <string>

class ReplacingFile final : public OutputStream {
public:
    // The new file gets `mode`; with `keepMode`, an existing target's mode instead.
    ReplacingFile(std::string target, mode_t mode, bool keepMode = false);
    // Removes the temporary unless Commit() put it in place.
    ~ReplacingFile();

    // Makes the temporary, ready for Write(); false when it cannot.
    bool Begin();
    // Writes what is buffered, syncs the file and renames it to the target: false (and the
    // temporary gone) when any write failed or any of these does.
    bool Commit();

    // The file a failure concerns: the temporary when it could not be made, else the target.
    const std::string& FailedFile() const { return failedFile_; }

private:
    // Fail for `file` with the system's words for `error`.
    bool FailedAt(const std::string& file, int error);
    bool MakeTemporary();

    std::string target_;
    std::string temporary_;
    std::string failedFile_;
    mode_t mode_;
    bool keepMode_;
    UniqueFd fd_;
    bool ownsTemporary_ = false;  // ours to remove: made or locked by this writer
};

// `path` with every symbolic link along its last component followed, as far as the links go
// (a dangling one ends at the file it names); `path` itself when it is no link.
std::string FollowLinks(const std::string& path);
