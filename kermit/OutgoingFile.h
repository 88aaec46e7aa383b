// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file the Kermit server sends to the calculator, read from disk a window at a time,
// so a large file costs a few kilobytes of memory rather than its size.
#include <cstdint>
#include <string>

#include "kermit/KermitFrame.h"
#include "util/ByteString.h"

namespace kermit {

class OutgoingFile {
public:
    OutgoingFile() = default;
    ~OutgoingFile() { Close(); }
    OutgoingFile(const OutgoingFile&) = delete;
    OutgoingFile& operator=(const OutgoingFile&) = delete;

    // Opens path for sending. Only a regular file is sent: the open neither follows a
    // symbolic link nor waits on a pipe, and a device or folder is refused. False (errno
    // kept) when the file cannot be sent.
    bool Open(const std::string& path);
    void Close();

    int64_t Size() const { return size_; }
    // Bytes of the file taken into data fields so far.
    int64_t Position() const { return windowStart_ + static_cast<int64_t>(pos_); }
    // The next D data field of at most maxField bytes (MaxSendData at most), empty once
    // the whole file went out. Raises CalvyxError when the file cannot be read.
    ByteString NextField(std::size_t maxField = MaxSendData);

private:
    int fd_ = -1;
    int64_t size_ = 0;
    bool atEnd_ = false;
    ByteString window_;       // bytes read from the file, from windowStart_ on
    int64_t windowStart_ = 0; // file offset of window_[0]
    std::size_t pos_ = 0;     // next byte of window_ to encode
};

} // namespace kermit
