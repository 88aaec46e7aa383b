#include "kermit/ReceivedFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/GeneralError.h"

namespace kermit {

bool IsSafeFileName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("/\\:\0", 4)) == std::string_view::npos;
}

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int err)
{
    throw CalvyxError(what + " \"" + path + "\". " + std::strerror(err));
}

// The permissions a newly created file gets (what open(..., 0666) would give).
mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

void StoreReceivedFile(const std::string& path, const ByteString& data)
{
    // The temporary file sits beside the target so that the rename cannot cross file
    // systems; its name starts with a dot and ends in random letters.
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    std::string temp = folder + "/.calvyx-receive-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) Fail("Cannot create file", path, errno);
    auto abandon = [&](int err) {
        ::close(fd);
        ::unlink(temp.c_str());
        Fail("Cannot write file", path, err);
    };
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) abandon(n < 0 ? errno : EIO);
        done += static_cast<std::size_t>(n);
    }
    struct stat st {};
    // Keep the old file's permissions when one is replaced.
    const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : NewFileMode();
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0) abandon(errno);
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        Fail("Cannot write file", path, err);
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(temp.c_str());
        Fail("Cannot write file", path, err);
    }
}

} // namespace kermit
