// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file an XModem send reads, a block at a time from disk: a large file costs one
// block of memory, not its size. The file is opened once and read through the
// descriptor that was checked, so nothing put in its place afterwards is read instead.
#include <cstdint>
#include <string>

#include "util/ByteString.h"

namespace xmodem {

class XModemFile {
public:
    // Opens path. Only a regular file: opening a pipe does not wait for a writer, and a
    // device (an endless one such as /dev/zero) or a folder is refused. Raises
    // CalvyxError naming the file when it cannot be sent.
    explicit XModemFile(const std::string& path);
    ~XModemFile();
    XModemFile(const XModemFile&) = delete;
    XModemFile& operator=(const XModemFile&) = delete;

    // The size when the file was opened: the blocks announce no length, but a file
    // that changes while it goes out would reach the calculator as a mix of old and new.
    int64_t Size() const { return size_; }
    // size bytes from offset, all of them within Size(). Raises CalvyxError when the
    // file cannot be read or no longer has the size it had when it was opened.
    ByteString Read(int64_t offset, std::size_t size) const;

private:
    std::string path_;
    int fd_ = -1;
    int64_t size_ = 0;
};

} // namespace xmodem
