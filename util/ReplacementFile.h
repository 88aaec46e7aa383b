// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file that replaces another only once it is complete. Its bytes go, step by step, into
// a hidden temporary file beside the target (so the final rename cannot cross file
// systems); Commit renames it over the target. Until then the target keeps its old
// contents, and a replacement that is discarded (or destroyed uncommitted) leaves nothing
// behind. A symbolic link at the target is replaced, never written through.
#include <cstdint>
#include <string>
#include <string_view>

// What Commit does when a file of the same name is already there.
enum class SameName : uint8_t {
    Replace,      // the new file takes the name; the old one is gone
    KeepBoth,     // the new file takes the first free "NAME (2).EXT", "NAME (3).EXT", ...
    KeepReplaced, // the new file takes the name; the old one moves into the hidden folder
                  // ReplacedFolder under a name that holds the time it was replaced
};
// The hidden folder of the files SameName::KeepReplaced kept.
inline constexpr const char* ReplacedFolder = ".replaced";
// "NAME (n).EXT" for "NAME.EXT" ("NAME (n)" for a name without an extension; a leading
// dot starts no extension).
std::string NumberedName(const std::string& name, int n);

// Where the files a calculator pushes go, when not into the served folder itself, and
// what happens when a file of the same name is there.
struct ReceiveRules {
    std::string inbox; // a folder of its own (no trailing separator); empty: the folder
    SameName sameName = SameName::Replace;
};

class ReplacementFile {
public:
    ReplacementFile() = default;
    ~ReplacementFile() { Discard(); }
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Creates the temporary file for path (a replacement in progress is discarded first).
    // 0, or the errno of the failure.
    int Begin(const std::string& path);
    // The same for the entry name of folder. The folder is opened once: the temporary,
    // the permissions looked at and the rename all stay in it, whatever happens to its
    // path meanwhile.
    int Begin(const std::string& folder, const std::string& name);
    // Writes data at the end; every byte has reached the file system when it returns 0,
    // so a full disk is noticed at the write that meets it. The errno otherwise.
    int Append(std::string_view data);
    // Flushes the file to the disk and gives it the target's name, or another by the
    // rule for a name that is taken; a replaced file's permissions are kept. 0, or the
    // errno of the step that failed (the temporary file is removed then, the target
    // untouched).
    int Commit(SameName rule = SameName::Replace);
    // The entry name the last Commit gave the file.
    const std::string& StoredName() const { return stored_; }
    // Removes the temporary file; the target stays as it was.
    void Discard();

    bool Active() const { return fd_ >= 0; }
    int64_t Written() const { return written_; }

private:
    void CloseFolder();
    // Gives the temporary file its name by the rule; 0 or an errno.
    int Place(SameName rule);
    // Links the file now named name_ into ReplacedFolder under a dated name.
    int KeepAside();

    int dirFd_ = -1;
    std::string folder_; // Windows, which has no descriptors of folders: the folder's path
    int fd_ = -1;
    std::string name_; // the target, an entry of the folder
    std::string temp_; // the temporary, an entry of the folder
    std::string stored_;
    int64_t written_ = 0;
};

// Bytes an unprivileged writer may still store in the folder's file system, or -1 when
// the system does not say.
int64_t FreeBytesIn(const std::string& folder);
