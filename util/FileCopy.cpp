// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/FileCopy.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/ReplacementFile.h"

namespace {

constexpr std::size_t ChunkBytes = std::size_t{64} * 1024;

// A descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

FileCopyOutcome Failed(int error) { return {FileCopyOutcome::Kind::Failed, error}; }

// Opens the source for reading and makes sure it is a regular file. The open does not
// wait (a pipe without a writer would block it, a serial device wait for its carrier)
// and takes no controlling terminal; what it opened is judged by its descriptor.
int OpenSource(const std::string& source, FileCopyOutcome& refused)
{
    const int fd = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        refused = Failed(errno);
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        refused = Failed(errno);
    } else if (S_ISDIR(st.st_mode)) {
        refused = {FileCopyOutcome::Kind::Folder, 0};
    } else if (!S_ISREG(st.st_mode)) {
        refused = {FileCopyOutcome::Kind::NotAFile, 0};
    } else {
        // A regular file never waits anyway; plain reads from here on.
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) return fd;
        refused = Failed(errno);
    }
    ::close(fd);
    return -1;
}

// Copies in to out chunk by chunk until the end of in.
FileCopyOutcome CopyChunks(int in, ReplacementFile& out, const std::atomic<bool>& cancel, const ChunkCopied& chunkCopied)
{
    std::string buffer(ChunkBytes, '\0');
    std::uint64_t copied = 0;
    for (;;) {
        if (cancel) return {FileCopyOutcome::Kind::Cancelled, 0};
        // A chunk is small: its size fits the count Windows takes (an unsigned int).
        const ssize_t n = ::read(in, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Failed(errno);
        if (n == 0) return {FileCopyOutcome::Kind::Copied, 0};
        if (const int err = out.Append(std::string_view(buffer.data(), static_cast<std::size_t>(n)))) return Failed(err);
        copied += static_cast<std::uint64_t>(n);
        if (chunkCopied) chunkCopied(copied);
    }
}

} // namespace

FileCopyOutcome CopyIntoFolder(const std::string& source, const std::string& folder, const std::string& name,
                               const std::atomic<bool>& cancel, const ChunkCopied& chunkCopied)
{
    // The name is one entry of the folder, never a path of its own.
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) return Failed(EINVAL);
    FileCopyOutcome refused;
    Descriptor in(OpenSource(source, refused));
    if (in.Get() < 0) return refused;
    // A temporary in the folder renamed over the name at the end: a link of that name is
    // replaced, never written through, and a failed or cancelled copy leaves nothing.
    ReplacementFile out;
    if (const int err = out.Begin(folder, name)) return Failed(err);
    FileCopyOutcome outcome = CopyChunks(in.Get(), out, cancel, chunkCopied);
    if (outcome.kind == FileCopyOutcome::Kind::Copied && cancel) outcome = {FileCopyOutcome::Kind::Cancelled, 0};
    if (outcome.kind != FileCopyOutcome::Kind::Copied) return outcome; // out discards the temporary
    if (const int err = out.Commit()) return Failed(err);
    return outcome;
}

FileCopyBatch::FileCopyBatch(std::vector<Item> items, ChunkCopied chunkCopied)
    : items_(std::move(items)), chunkCopied_(std::move(chunkCopied)),
      outcomes_(items_.size(), FileCopyOutcome{FileCopyOutcome::Kind::Cancelled, 0})
{
}

void FileCopyBatch::Work()
{
    // The sizes by path, only to show progress: each copy judges what it opens.
    std::uint64_t total = 0;
    for (const Item& item : items_) {
        struct stat st {};
        if (::stat(item.source.c_str(), &st) == 0 && S_ISREG(st.st_mode)) total += static_cast<std::uint64_t>(st.st_size);
    }
    total_ = total;
    std::uint64_t before = 0;
    for (std::size_t i = 0; i < items_.size() && !cancel_; ++i) {
        current_ = i;
        outcomes_[i] = CopyIntoFolder(items_[i].source, items_[i].folder, items_[i].name, cancel_, [&](std::uint64_t copied) {
            copied_ = before + copied;
            if (chunkCopied_) chunkCopied_(copied);
        });
        before = copied_;
    }
}
