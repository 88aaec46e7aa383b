// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Folders that hold this user's run-time files (the USB pipe device, the start-up lock
// and its socket) must be nobody else's. Another local user who made such a folder
// first, or who may write into it, could put pipes there and play the calculator, or
// hold the lock and take the requests meant for the running window. These checks look
// at the entry itself (lstat), never at what a symbolic link points to.
#include <string>
#include <sys/types.h>

// What lstat says of a path.
struct PathFacts {
    enum class Kind { Missing, Folder, SymbolicLink, Fifo, Device, Other };
    Kind kind = Kind::Missing;
    uid_t owner = 0;
    mode_t mode = 0; // the permission bits
    int error = 0;   // errno when lstat failed for another reason than a missing entry
};
PathFacts LookAt(const std::string& path);

// Why path cannot hold this user's private files, worded for the user with the path
// and what to do about it; empty when it is a real folder that belongs to user and
// that no other user may write into. A missing folder is refused as well: callers that
// may create it call MakePrivateFolder instead.
std::string PrivateFolderProblem(const std::string& path, const PathFacts& facts, uid_t user);
// The same for the folder as it is now, for this process's user.
std::string PrivateFolderProblem(const std::string& path);
// Creates the folder with mode 0700 when it is missing (its parent must exist), then
// checks it as PrivateFolderProblem does.
std::string MakePrivateFolder(const std::string& path);

// An entry inside a private folder that the program is about to use (a pipe, the
// device's folder, the start-up lock): refused when it is a symbolic link or belongs to
// another user. Empty when it may be used or is missing. Only root can make a device
// node, so a character or block device is taken whoever owns it.
std::string PrivateEntryProblem(const std::string& path, const PathFacts& facts, uid_t user);
std::string PrivateEntryProblem(const std::string& path);
