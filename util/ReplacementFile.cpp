// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/ReplacementFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "util/ReplacementNames.h"
#include "util/Utils.h"

int ReplacementFile::Begin(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return Begin(".", path);
    return Begin(slash == 0 ? std::string("/") : path.substr(0, slash), path.substr(slash + 1));
}

int ReplacementFile::Begin(const std::string& folder, const std::string& name)
{
    Discard();
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) return EINVAL;
    dirFd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd_ < 0) return errno;
    fd_ = CreateTemporary(dirFd_, std::string(), temp_);
    if (fd_ < 0) {
        const int err = errno;
        CloseFolder();
        return err;
    }
    name_ = name;
    written_ = 0;
    return 0;
}

namespace {

// Gives the file `from` of folder the name `to` only when that name is free: EEXIST when
// it is taken. A file system that cannot rename so is asked for a hard link instead.
int LinkNoReplace(int fromDir, const std::string& from, int toDir, const std::string& to, bool keepFrom)
{
    if (!keepFrom) {
        if (::renameat2(fromDir, from.c_str(), toDir, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
        if (errno != EINVAL && errno != ENOSYS) return errno;
    }
    if (::linkat(fromDir, from.c_str(), toDir, to.c_str(), 0) != 0) return errno;
    if (!keepFrom) ::unlinkat(fromDir, from.c_str(), 0);
    return 0;
}

} // namespace

int ReplacementFile::KeepAside()
{
    if (::mkdirat(dirFd_, ReplacedFolder, 0700) != 0 && errno != EEXIST) return errno;
    const int kept = ::openat(dirFd_, ReplacedFolder, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (kept < 0) return errno;
    std::string chosen;
    // A hard link: the old file keeps its name until the new one takes it.
    int err = FirstFreeName(DatedName(name_), chosen,
                            [&](const std::string& candidate) { return LinkNoReplace(dirFd_, name_, kept, candidate, true); });
    if (err == EPERM || err == EOPNOTSUPP) {
        // No hard links here: the old file moves.
        err = FirstFreeName(DatedName(name_), chosen,
                            [&](const std::string& candidate) { return LinkNoReplace(dirFd_, name_, kept, candidate, false); });
    }
    ::close(kept);
    return err;
}

int ReplacementFile::Place(SameName rule)
{
    struct stat st {};
    const bool taken = ::fstatat(dirFd_, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    if (rule == SameName::KeepBoth)
        return FirstFreeName(
            name_, stored_, [&](const std::string& candidate) { return LinkNoReplace(dirFd_, temp_, dirFd_, candidate, false); });
    if (rule == SameName::KeepReplaced && taken && S_ISREG(st.st_mode))
        if (const int err = KeepAside(); err != 0) return err;
    // The rename replaces whatever has the name, a symbolic link included, in one step.
    if (::renameat(dirFd_, temp_.c_str(), dirFd_, name_.c_str()) != 0) return errno;
    stored_ = name_;
    return 0;
}

int ReplacementFile::Commit(SameName rule)
{
    if (fd_ < 0) return EBADF;
    int err = 0;
    struct stat st {};
    // A replaced file keeps its permissions; the name itself is looked at, not a file a
    // link of that name points to (whose permissions the replacement would wrongly take).
    if (rule != SameName::KeepBoth && ::fstatat(dirFd_, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        ::fchmod(fd_, st.st_mode & 07777) != 0)
        err = errno;
    if (err == 0 && ::fsync(fd_) != 0) err = errno;
    if (::close(fd_) != 0 && err == 0) err = errno;
    fd_ = -1;
    stored_.clear();
    if (err == 0) err = Place(rule);
    if (err != 0) ::unlinkat(dirFd_, temp_.c_str(), 0);
    temp_.clear();
    CloseFolder();
    return err;
}

void ReplacementFile::Discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        ::unlinkat(dirFd_, temp_.c_str(), 0);
        temp_.clear();
    }
    CloseFolder();
}

void ReplacementFile::CloseFolder()
{
    if (dirFd_ >= 0) ::close(dirFd_);
    dirFd_ = -1;
}

int64_t FreeBytesIn(const std::string& folder)
{
    struct statvfs vfs {};
    if (::statvfs(folder.empty() ? "." : folder.c_str(), &vfs) != 0) return -1;
    return static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
}
