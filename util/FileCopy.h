// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Copying files into a folder, as files dropped in from the desktop are: each copy is
// written to a temporary beside its target and renamed over the target's name when it
// is complete, so the name ends up as a regular file with the copied bytes (a symbolic
// link of that name is replaced itself, never written through), and a cancelled or
// failed copy leaves the old file as it was and nothing else behind. A batch of copies
// runs in a thread of its own and can be cancelled between two chunks.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "util/MainThread.h"

struct FileCopyOutcome {
    enum class Kind {
        Copied,
        Cancelled,
        Folder,   // the source is a folder
        NotAFile, // a pipe, a device, a socket: nothing a copy can take
        Failed,   // error says why
    };
    Kind kind = Kind::Failed;
    int error = 0; // the errno of the step that failed
};

// Called in the copying thread after each chunk with the bytes of this file copied so far.
using ChunkCopied = std::function<void(std::uint64_t copied)>;

// Copies source to name in folder. The source is opened before it is looked at and
// judged by what was opened, so a path swapped for a pipe or a device after a check
// gains nothing, and a pipe never blocks the copy. A replaced regular file's
// permissions are kept. cancel is read between chunks.
FileCopyOutcome CopyIntoFolder(const std::string& source, const std::string& folder, const std::string& name,
                               const std::atomic<bool>& cancel, const ChunkCopied& chunkCopied = {});

// Several copies, one after the other, in a thread of their own. Start() with start();
// Join() before reading the outcomes.
class FileCopyBatch final : public WorkerThread {
public:
    struct Item {
        std::string source;
        std::string folder;
        std::string name;
    };
    explicit FileCopyBatch(std::vector<Item> items, ChunkCopied chunkCopied = {});

    // Any thread: the copy under way ends at its next chunk, and the rest are not started.
    void Cancel() { cancel_ = true; }
    // Any thread, while it runs: the bytes copied of all files, and their sizes when the
    // batch began, and the index of the file being copied.
    std::uint64_t BytesCopied() const { return copied_; }
    std::uint64_t BytesTotal() const { return total_; }
    std::size_t Current() const { return current_; }
    const std::vector<Item>& Items() const { return items_; }
    // After Join: one outcome per item (Cancelled for those never started).
    const std::vector<FileCopyOutcome>& Outcomes() const { return outcomes_; }

protected:
    void Work() override;

private:
    const std::vector<Item> items_;
    const ChunkCopied chunkCopied_;
    std::vector<FileCopyOutcome> outcomes_;
    std::atomic<bool> cancel_{false};
    std::atomic<std::uint64_t> copied_{0};
    std::atomic<std::uint64_t> total_{0};
    std::atomic<std::size_t> current_{0};
};
