// SPDX-License-Identifier: GPL-3.0-or-later
#include "kermit/OutgoingFile.h"

#include <algorithm>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "kermit/KermitFrame.h"
#include "util/CalvyxError.h"

namespace kermit {

namespace {

// Read from the file this much at a time.
constexpr std::size_t WindowRead = 16384;

} // namespace

bool OutgoingFile::Open(const std::string& path)
{
    Close();
    // O_NONBLOCK: opening a FIFO must not wait for a writer; a regular file ignores it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = errno ? errno : EINVAL;
        ::close(fd);
        errno = S_ISDIR(st.st_mode) ? EISDIR : err;
        return false;
    }
    fd_ = fd;
    size_ = st.st_size;
    return true;
}

void OutgoingFile::Close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    size_ = 0;
    atEnd_ = false;
    window_.clear();
    windowStart_ = 0;
    pos_ = 0;
}

ByteString OutgoingFile::NextField(std::size_t maxField)
{
    // A field takes at most MaxSendData file bytes; with that many at hand (or the end
    // of the file) the field is as full as the whole file in memory would make it.
    if (window_.size() - pos_ < MaxSendData && !atEnd_ && fd_ >= 0) {
        window_.erase(0, pos_);
        windowStart_ += static_cast<int64_t>(pos_);
        pos_ = 0;
        while (window_.size() < WindowRead && !atEnd_) {
            char buffer[WindowRead];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) throw CalvyxError(std::string("Cannot read the file: ") + std::strerror(errno));
            if (n == 0) atEnd_ = true;
            window_.append(buffer, static_cast<std::size_t>(n));
        }
    }
    return EncodeChunk(window_, pos_, std::min(maxField, MaxSendData));
}

} // namespace kermit
