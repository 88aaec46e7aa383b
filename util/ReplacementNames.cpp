// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/ReplacementNames.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

#include <QRandomGenerator>

#include "util/ReplacementFile.h"
#include "util/Utils.h"

std::size_t ExtensionAt(const std::string& name)
{
    const auto dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? std::string::npos : dot;
}

std::string NumberedName(const std::string& name, int n)
{
    const std::string number = " (" + std::to_string(n) + ")";
    const auto dot = ExtensionAt(name);
    return dot == std::string::npos ? name + number : name.substr(0, dot) + number + name.substr(dot);
}

std::string DatedName(const std::string& name)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    ::localtime_s(&local, &now);
#else
    ::localtime_r(&now, &local);
#endif
    char stamp[32];
    std::strftime(stamp, sizeof stamp, " %Y-%m-%d %H-%M-%S", &local);
    const auto dot = ExtensionAt(name);
    return dot == std::string::npos ? name + stamp : name.substr(0, dot) + stamp + name.substr(dot);
}

int FirstFreeName(const std::string& name, std::string& chosen, const std::function<int(const std::string&)>& place)
{
    // Far more than a class ever sends under one name; a folder that full is an error.
    constexpr int MaxNumber = 9999;
    for (int n = 1; n <= MaxNumber; ++n) {
        const std::string candidate = n == 1 ? name : NumberedName(name, n);
        const int err = place(candidate);
        if (err == 0) {
            chosen = candidate;
            return 0;
        }
        if (err != EEXIST) return err;
    }
    return EEXIST;
}

int CreateTemporaryNamed(const std::string& folder, std::string& temp, const std::function<int(const std::string&)>& create)
{
    // Lower case only: a file system that ignores case (Windows, a FAT stick on Linux)
    // would take two names that differ in case for one.
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    constexpr int Length = 10;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder + TemporaryPrefix;
        for (int i = 0; i < Length; ++i) temp += Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)];
        const int fd = create(temp);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

int WriteAll(int fd, std::string_view data)
{
    // At most 1 GiB a call: Windows counts a write's bytes in an unsigned int.
    constexpr std::size_t MostAtOnce = std::size_t{1} << 30;
    std::size_t done = 0;
    while (done < data.size()) {
        const auto n = ::write(fd, data.data() + done, static_cast<unsigned>(std::min(data.size() - done, MostAtOnce)));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int ReadAll(int fd, ByteString& data)
{
    char buf[65536];
    for (;;) {
        const auto n = ::read(fd, buf, sizeof buf);
        if (n > 0)
            data.append(buf, static_cast<std::size_t>(n));
        else if (n == 0)
            return 0;
        else if (errno != EINTR)
            return errno;
    }
}

int ReplacementFile::Append(std::string_view data)
{
    if (fd_ < 0) return EBADF;
    const int err = WriteAll(fd_, data);
    if (err == 0) written_ += static_cast<int64_t>(data.size());
    return err;
}

int ReplaceFile(const std::string& path, std::string_view data)
{
    ReplacementFile file;
    int err = file.Begin(path);
    if (err == 0) err = file.Append(data);
    if (err == 0) err = file.Commit();
    return err;
}
