// SPDX-License-Identifier: GPL-3.0-or-later
// The file helpers of util/Utils.h on POSIX descriptors.
#include "util/Utils.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>

#include "util/CalvyxError.h"
#include "util/ReplacementNames.h"

namespace {

std::string SystemReason(int err) { return std::strerror(err); }

} // namespace

std::string GetExeDir()
{
    std::string path;
    if (QCoreApplication::instance()) {
        path = QCoreApplication::applicationDirPath().toStdString();
    } else {
        char buf[4096];
        const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
        if (n > 0) {
            path.assign(buf, static_cast<std::size_t>(n));
            const auto slash = path.find_last_of('/');
            path = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
        }
    }
    if (path.empty()) path = "/";
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

ByteString ReadFileToString(const std::string& fileName)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw CalvyxError("Cannot open file \"" + fileName + "\". " + SystemReason(errno));
    ByteString data;
    const int err = ReadAll(fd, data);
    ::close(fd);
    if (err != 0) throw CalvyxError("Cannot open file \"" + fileName + "\". " + SystemReason(err));
    return data;
}

// Created with 0666, so the kernel applies the umask as for any new file (reading the
// umask would mean setting it, which other threads would see).
int CreateTemporary(int dirFd, const std::string& folder, std::string& temp)
{
    return CreateTemporaryNamed(folder, temp, [dirFd](const std::string& name) {
        return ::openat(dirFd, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    });
}

namespace {

// A device, a pipe or a socket cannot be replaced by renaming: it is written in place.
// The open does not wait: a pipe that nobody reads is an error (ENXIO), not a hang.
int WriteInPlace(const std::string& path, std::string_view data)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    const int flags = ::fcntl(fd, F_GETFL);
    int err = flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ? errno : 0;
    if (err == 0) err = WriteAll(fd, data);
    if (::close(fd) != 0 && err == 0) err = errno;
    return err;
}

} // namespace

void WriteStringToFile(const ByteString& data, const std::string& fileName)
{
    struct stat st {};
    int err = 0;
    if (::stat(fileName.c_str(), &st) != 0) {
        err = ReplaceFile(fileName, data); // a new file; a dangling link is replaced itself
    } else if (!S_ISREG(st.st_mode)) {
        err = WriteInPlace(fileName, data);
    } else {
        // An existing file, perhaps behind links: the file itself is replaced, the links stay.
        std::string target = fileName;
        if (char* resolved = ::realpath(fileName.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
        err = ReplaceFile(target, data);
    }
    if (err != 0) throw CalvyxError("I/O error " + std::to_string(err) + ": " + SystemReason(err));
}

bool DirExists(const std::string& path)
{
    if (path.empty()) return false;
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
