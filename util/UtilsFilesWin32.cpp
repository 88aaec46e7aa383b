// SPDX-License-Identifier: GPL-3.0-or-later
// The file helpers of util/Utils.h on Windows. Paths are handed to the C runtime as
// they are; the replacement goes through ReplacementFile as on POSIX.
#include <cerrno>
#include <cstring>

#include <windows.h>
// windows.h names its own ReplaceFile (a macro for ReplaceFileW); ours is meant here.
#undef ReplaceFile

#include <QCoreApplication>

#include "util/CalvyxError.h"
#include "util/ReplacementNames.h"
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
    const int err = ReadAll(fd, data);
    ::close(fd);
    if (err != 0) throw CalvyxError("Cannot open file \"" + fileName + "\". " + std::strerror(err));
    return data;
}

// dirFd is not used: Windows has no descriptors of folders, folder names the place.
int CreateTemporary(int, const std::string& folder, std::string& temp)
{
    return CreateTemporaryNamed(folder, temp, [](const std::string& name) {
        return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_BINARY | O_CLOEXEC, _S_IREAD | _S_IWRITE);
    });
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
