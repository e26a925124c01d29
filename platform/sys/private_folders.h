#pragma once
// Folders for files only their owner may read: the settings file and the levels database.

#include <string>

// Makes `folder` and its missing parents, each new one with mode 0700; folders already there
// stay as they are. False, with errno set and `failed` naming the folder, when one cannot
// be made.
bool MakePrivateFolders(const std::string& folder, std::string& failed);
