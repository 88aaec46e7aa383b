// SPDX-License-Identifier: GPL-3.0-or-later
// The file helpers of util/Utils.h on Windows. Paths are handed to the C runtime as
// they are; the replacement goes through ReplacementFile as on POSIX.
#include <cerrno>
#include <cstring>

#include <windows.h>

#include <QCoreApplication>
#include <QRandomGenerator>

#include "util/CalvyxError.h"
#include "util/ReplacementFile.h"
#include "util/Utils.h"

std::string GetExeDir()
{
    std::string path;
    if (QCoreApplication::instance()) {
        path = QCoreApplication::applicationDirPath().toStdString();
    } else {
        char buf[4096];
        const DWORD n = ::GetModuleFileNameA(nullptr, buf, sizeof buf);
        if (n > 0 && n < sizeof buf) {
            path.assign(buf, n);
            const auto slash = path.find_last_of("/\\");
            path = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
        }
    }
    if (path.empty()) path = ".";
    while (path.size() > 3 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    return path;
}

ByteString ReadFileToString(const std::string& fileName)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_BINARY | O_CLOEXEC);
    if (fd < 0) throw CalvyxError("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
    ByteString data;
    char buf[65536];
    for (;;) {
        const int n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            data.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else {
            const int err = errno;
            ::close(fd);
            throw CalvyxError("Cannot open file \"" + fileName + "\". " + std::strerror(err));
        }
    }
    ::close(fd);
    return data;
}

// dirFd is not used: Windows has no descriptors of folders, folder names the place.
int CreateTemporary(int, const std::string& folder, std::string& temp)
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder + TemporaryPrefix;
        // Lower case only: the file system ignores case.
        for (int i = 0; i < 10; ++i) temp += Letters[QRandomGenerator::global()->bounded(36)];
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY | O_CLOEXEC, _S_IREAD | _S_IWRITE);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

int WriteAll(int fd, std::string_view data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const std::size_t chunk = std::min<std::size_t>(data.size() - done, 1u << 30);
        const int n = ::write(fd, data.data() + done, static_cast<unsigned>(chunk));
        if (n <= 0) return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int ReplaceFile(const std::string& path, std::string_view data)
{
    ReplacementFile file;
    int err = file.Begin(path);
    if (err == 0) err = file.Append(data);
    if (err == 0) err = file.Commit();
    return err;
}

void WriteStringToFile(const ByteString& data, const std::string& fileName)
{
    const int err = ReplaceFile(fileName, data);
    if (err != 0) throw CalvyxError("I/O error " + std::to_string(err) + ": " + std::strerror(err));
}

bool DirExists(const std::string& path)
{
    if (path.empty()) return false;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
