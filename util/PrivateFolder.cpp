// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/PrivateFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Octal(mode_t mode)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

std::string OwnerText(uid_t owner) { return "another user (uid " + std::to_string(owner) + ")"; }

} // namespace

PathFacts LookAt(const std::string& path)
{
    PathFacts facts;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) facts.error = errno;
        return facts;
    }
    facts.owner = st.st_uid;
    facts.mode = st.st_mode & 07777;
    if (S_ISDIR(st.st_mode))
        facts.kind = PathFacts::Kind::Folder;
    else if (S_ISLNK(st.st_mode))
        facts.kind = PathFacts::Kind::SymbolicLink;
    else if (S_ISFIFO(st.st_mode))
        facts.kind = PathFacts::Kind::Fifo;
    else if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        facts.kind = PathFacts::Kind::Device;
    else
        facts.kind = PathFacts::Kind::Other;
    return facts;
}

std::string PrivateFolderProblem(const std::string& path, const PathFacts& facts, uid_t user)
{
    using Kind = PathFacts::Kind;
    if (facts.error != 0) return "The folder " + path + " cannot be checked: " + std::strerror(facts.error);
    switch (facts.kind) {
    case Kind::Missing:
        return "The folder " + path + " does not exist; create it with mkdir -m 700 " + path;
    case Kind::SymbolicLink:
        return "The folder " + path + " is a symbolic link, which anybody may have made; remove it (rm " + path +
               ") or use a folder of your own";
    case Kind::Folder:
        break;
    default:
        return path + " is not a folder; remove it or use a folder of your own";
    }
    if (facts.owner != user)
        return "The folder " + path + " belongs to " + OwnerText(facts.owner) +
               "; remove it (that may need an administrator) or use a folder of your own";
    // Reading is harmless; whoever may write into the folder could plant or replace
    // what the program opens there.
    if ((facts.mode & (S_IWGRP | S_IWOTH)) != 0)
        return "The folder " + path + " may be changed by other users (mode " + Octal(facts.mode) +
               "); make it private with chmod 700 " + path;
    return {};
}

std::string PrivateFolderProblem(const std::string& path) { return PrivateFolderProblem(path, LookAt(path), ::geteuid()); }

std::string MakePrivateFolder(const std::string& path)
{
    if (LookAt(path).kind == PathFacts::Kind::Missing && ::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return "The folder " + path + " cannot be created: " + std::strerror(errno);
    return PrivateFolderProblem(path);
}

std::string PrivateEntryProblem(const std::string& path, const PathFacts& facts, uid_t user)
{
    using Kind = PathFacts::Kind;
    if (facts.error != 0) return path + " cannot be checked: " + std::strerror(facts.error);
    switch (facts.kind) {
    case Kind::Missing:
    case Kind::Device:
        return {};
    case Kind::SymbolicLink:
        return path + " is a symbolic link, which anybody may have made; remove it (rm " + path + ")";
    default:
        if (facts.owner != user)
            return path + " belongs to " + OwnerText(facts.owner) + "; remove it (that may need an administrator)";
        return {};
    }
}

std::string PrivateEntryProblem(const std::string& path) { return PrivateEntryProblem(path, LookAt(path), ::geteuid()); }
