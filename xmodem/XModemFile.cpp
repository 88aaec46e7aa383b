// SPDX-License-Identifier: GPL-3.0-or-later
#include "xmodem/XModemFile.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/CalvyxError.h"

namespace xmodem {

XModemFile::XModemFile(const std::string& path) : path_(path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0) ::close(fd);
        throw CalvyxError("Not a file that can be sent: " + path);
    }
    fd_ = fd;
    size_ = st.st_size;
}

XModemFile::~XModemFile()
{
    if (fd_ >= 0) ::close(fd_);
}

ByteString XModemFile::Read(int64_t offset, std::size_t size) const
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0) throw CalvyxError("Cannot read " + path_ + ": " + std::strerror(errno));
    if (st.st_size != size_)
        throw CalvyxError(path_ + " changed size while it was sent (" + std::to_string(size_) + " bytes, now " +
                          std::to_string(st.st_size) + ")");
    ByteString block(size, '\0');
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd_, block.data() + got, size - got, static_cast<off_t>(offset + static_cast<int64_t>(got)));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw CalvyxError("Cannot read " + path_ + ": " + std::strerror(errno));
        if (n == 0) throw CalvyxError(path_ + " ended early while it was sent");
        got += static_cast<std::size_t>(n);
    }
    return block;
}

} // namespace xmodem
