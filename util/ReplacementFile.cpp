// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/ReplacementFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

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

int ReplacementFile::Append(std::string_view data)
{
    if (fd_ < 0) return EBADF;
    const int err = WriteAll(fd_, data);
    if (err == 0) written_ += static_cast<int64_t>(data.size());
    return err;
}

int ReplacementFile::Commit()
{
    if (fd_ < 0) return EBADF;
    int err = 0;
    struct stat st {};
    // A replaced file keeps its permissions; the name itself is looked at, not a file a
    // link of that name points to (whose permissions the replacement would wrongly take).
    if (::fstatat(dirFd_, name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        ::fchmod(fd_, st.st_mode & 07777) != 0)
        err = errno;
    if (err == 0 && ::fsync(fd_) != 0) err = errno;
    if (::close(fd_) != 0 && err == 0) err = errno;
    fd_ = -1;
    // The rename replaces whatever has the name, a symbolic link included, in one step.
    if (err == 0 && ::renameat(dirFd_, temp_.c_str(), dirFd_, name_.c_str()) != 0) err = errno;
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
