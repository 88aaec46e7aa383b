// SPDX-License-Identifier: GPL-3.0-or-later
// ReplacementFile on Windows: the folder is held by its path (dirFd_ only marks that one
// is open); the temporary takes the name with MoveFileEx, which replaces in one step.
#include <cerrno>

#include <windows.h>

#include "util/ReplacementFile.h"
#include "util/ReplacementNames.h"
#include "util/Utils.h"

namespace {

int ErrnoOf(DWORD code)
{
    switch (code) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
        return ENOSPC;
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
        return EOPNOTSUPP;
    default:
        return EIO;
    }
}

// Gives from the name to only when that name is free (EEXIST when it is taken): a hard
// link when keepFrom, else a move.
int LinkNoReplace(const std::string& from, const std::string& to, bool keepFrom)
{
    const BOOL done = keepFrom ? ::CreateHardLinkA(to.c_str(), from.c_str(), nullptr)
                               : ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
    return done ? 0 : ErrnoOf(::GetLastError());
}

bool IsRegularFile(const std::string& path)
{
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
}

} // namespace

int ReplacementFile::Begin(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return Begin(".", path);
    return Begin(slash == 0 ? path.substr(0, 1) : path.substr(0, slash), path.substr(slash + 1));
}

int ReplacementFile::Begin(const std::string& folder, const std::string& name)
{
    Discard();
    if (name.empty() || name == "." || name == ".." || name.find_first_of("/\\:") != std::string::npos) return EINVAL;
    if (!DirExists(folder)) return ENOENT;
    folder_ = folder;
    if (folder_.back() != '/' && folder_.back() != '\\') folder_ += '\\';
    dirFd_ = 0;
    std::string temp;
    fd_ = CreateTemporary(dirFd_, folder_, temp);
    if (fd_ < 0) {
        const int err = errno;
        CloseFolder();
        return err;
    }
    temp_ = temp.substr(folder_.size());
    name_ = name;
    written_ = 0;
    return 0;
}

int ReplacementFile::KeepAside()
{
    const std::string kept = folder_ + ReplacedFolder;
    if (!::CreateDirectoryA(kept.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) return ErrnoOf(::GetLastError());
    std::string chosen;
    // A hard link: the old file keeps its name until the new one takes it.
    int err = FirstFreeName(DatedName(name_), chosen, [&](const std::string& candidate) {
        return LinkNoReplace(folder_ + name_, kept + "\\" + candidate, true);
    });
    if (err == EOPNOTSUPP || err == EACCES) {
        // No hard links here (FAT): the old file moves.
        err = FirstFreeName(DatedName(name_), chosen, [&](const std::string& candidate) {
            return LinkNoReplace(folder_ + name_, kept + "\\" + candidate, false);
        });
    }
    return err;
}

int ReplacementFile::Place(SameName rule)
{
    const bool taken = ::GetFileAttributesA((folder_ + name_).c_str()) != INVALID_FILE_ATTRIBUTES;
    if (rule == SameName::KeepBoth)
        return FirstFreeName(name_, stored_, [&](const std::string& candidate) {
            return LinkNoReplace(folder_ + temp_, folder_ + candidate, false);
        });
    if (rule == SameName::KeepReplaced && taken && IsRegularFile(folder_ + name_))
        if (const int err = KeepAside(); err != 0) return err;
    if (!::MoveFileExA((folder_ + temp_).c_str(), (folder_ + name_).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return ErrnoOf(::GetLastError());
    stored_ = name_;
    return 0;
}

int ReplacementFile::Commit(SameName rule)
{
    if (fd_ < 0) return EBADF;
    int err = 0;
    if (::_commit(fd_) != 0) err = errno;
    if (::close(fd_) != 0 && err == 0) err = errno;
    fd_ = -1;
    stored_.clear();
    if (err == 0) err = Place(rule);
    if (err != 0) ::DeleteFileA((folder_ + temp_).c_str());
    temp_.clear();
    CloseFolder();
    return err;
}

void ReplacementFile::Discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        ::DeleteFileA((folder_ + temp_).c_str());
        temp_.clear();
    }
    CloseFolder();
}

void ReplacementFile::CloseFolder()
{
    dirFd_ = -1;
    folder_.clear();
}

int64_t FreeBytesIn(const std::string& folder)
{
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExA(folder.empty() ? "." : folder.c_str(), &available, nullptr, nullptr)) return -1;
    return static_cast<int64_t>(available.QuadPart);
}
