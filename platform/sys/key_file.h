#pragma once
// The files behind the registry's keys: read whole, and replaced whole. Every failure is
// recorded for the calling thread (RegGetLastFileError passes it on): the file or folder,
// and the reason in the system's words ("Read-only file system").

#include <string>

#include "platform/sys/registry.h"

enum class ReadResult { Read, Missing, Failed };

// Reads the file at most one byte beyond RegeditFile::MaxTextSize, so that the parser sees a
// text cut short. Missing when neither it nor its folder is there. Only a regular file is
// read: a FIFO in its place would block for ever.
ReadResult ReadKeyFile(const std::string& path, std::string& text);

// Makes the folder and its missing parents, each readable by the owner only.
bool MakeKeyFolders(const std::string& folder);

// Replaces the file in `folder` by one of mode 0600 holding `text`, which a crash leaves
// either old or new (a ReplacingFile), and takes group's and others' rights from the folder.
// A text too large to be read back is not written.
bool ReplaceKeyFile(const std::string& folder, const std::string& path, const std::string& text);

// Records why `file` failed; false, for the caller to answer.
bool FileFailed(const std::string& file, std::string reason);
// The failure recorded last on this thread.
const RegFileError& LastFileError();
