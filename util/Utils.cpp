// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/Utils.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QRandomGenerator>

#include "util/CalvyxError.h"
#include "util/ReplacementFile.h"

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
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            data.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            const int err = errno;
            ::close(fd);
            throw CalvyxError("Cannot open file \"" + fileName + "\". " + SystemReason(err));
        }
    }
    ::close(fd);
    return data;
}

// Created with 0666, so the kernel applies the umask as for any new file (reading the
// umask would mean setting it, which other threads would see).
int CreateTemporary(int dirFd, const std::string& folder, std::string& temp)
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder + TemporaryPrefix;
        for (int i = 0; i < 8; ++i) temp += Letters[QRandomGenerator::global()->bounded(62)];
        const int fd = ::openat(dirFd, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

int WriteAll(int fd, std::string_view data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        done += static_cast<std::size_t>(n);
    }
    return 0;
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

std::string FileNamePart(const std::string& path)
{
    const auto pos = path.find_last_of("/\\");
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string FormatText(const char* format, const std::string& arg)
{
    const int n = std::snprintf(nullptr, 0, format, arg.c_str());
    if (n <= 0) return format;
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, arg.c_str());
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string AsciiUpper(std::string text)
{
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

namespace {

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not a valid one.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > text.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
    }
    return n;
}

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = Utf8SequenceAt(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

void AppendEscaped(std::string& out, unsigned char c)
{
    static const char Hex[] = "0123456789abcdef";
    out += "\\x";
    out += Hex[c >> 4];
    out += Hex[c & 0xF];
}

} // namespace

std::string VisibleText(std::string_view text)
{
    const bool utf8 = IsValidUtf8(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            out += "\\\\";
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            AppendEscaped(out, c);
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (!utf8) {
            if (c <= 0x9F)
                AppendEscaped(out, c);
            else
                out += static_cast<char>(c);
            ++i;
        } else {
            const std::size_t n = Utf8SequenceAt(text, i);
            // U+0080..U+009F are C2 80..C2 9F: the C1 controls (0x9B starts a CSI).
            const bool c1 = n == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
            for (std::size_t k = 0; k < n; ++k) {
                if (c1)
                    AppendEscaped(out, static_cast<unsigned char>(text[i + k]));
                else
                    out += text[i + k];
            }
            i += n;
        }
    }
    return out;
}

std::optional<unsigned> HexNumber(std::string_view text, std::size_t mostDigits)
{
    if (text.empty() || text.size() > mostDigits) return std::nullopt;
    unsigned value = 0;
    for (const char c : text) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return std::nullopt;
        value = value * 16 + digit;
    }
    return value;
}
