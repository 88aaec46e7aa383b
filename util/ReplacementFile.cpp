#include "util/ReplacementFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "util/Utils.h"

int ReplacementFile::Begin(const std::string& path)
{
    Discard();
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
    fd_ = CreateTemporary(AT_FDCWD, folder, temp_);
    if (fd_ < 0) return errno;
    target_ = path;
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
    // A replaced file keeps its permissions.
    if (::lstat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::fchmod(fd_, st.st_mode & 07777) != 0)
        err = errno;
    if (err == 0 && ::fsync(fd_) != 0) err = errno;
    if (::close(fd_) != 0 && err == 0) err = errno;
    fd_ = -1;
    if (err == 0 && ::rename(temp_.c_str(), target_.c_str()) != 0) err = errno;
    if (err != 0) ::unlink(temp_.c_str());
    temp_.clear();
    return err;
}

void ReplacementFile::Discard()
{
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(temp_.c_str());
    temp_.clear();
}

int64_t FreeBytesIn(const std::string& folder)
{
    struct statvfs vfs {};
    if (::statvfs(folder.empty() ? "." : folder.c_str(), &vfs) != 0) return -1;
    return static_cast<int64_t>(vfs.f_bavail) * static_cast<int64_t>(vfs.f_frsize);
}
