// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small free routines shared by the layers: the program's folder, whole-file reading
// and writing, and a folder test.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "util/ByteString.h"

// Folder of the running executable, without a trailing separator ("/" stays "/").
std::string GetExeDir();
// The whole file; raises CalvyxError "Cannot open file "%s". %s" when it cannot be read.
ByteString ReadFileToString(const std::string& fileName);
// Creates or replaces the file with data unchanged; raises CalvyxError "I/O error %d: %s"
// with the system's reason when it cannot be written. The bytes go through ReplaceFile,
// so a failure (a full disk, say) leaves an older file as it was. A symbolic link is
// followed: the file it names is replaced and the link stays. A device or pipe is
// written in place.
void WriteStringToFile(const ByteString& data, const std::string& fileName);
// Writes data to a temporary file beside path and renames it over path once it is
// complete and on disk, so that a failed write leaves the old file (or none) and no
// partial one or temporary behind. A replaced file's permissions are kept; a new one
// gets the usual ones. A symbolic link at path is replaced, not followed. Returns 0, or
// the errno of the step that failed.
int ReplaceFile(const std::string& path, std::string_view data);
// The start of the hidden names of the temporaries that ReplaceFile and the file copy
// write beside their targets.
inline constexpr const char* TemporaryPrefix = ".calvyx-save-";
// A new file for writing with a hidden random name, folder + TemporaryPrefix + letters,
// relative to the open folder dirFd (AT_FDCWD: the current folder). Returns the open
// descriptor and its name in temp, or -1 with errno set.
int CreateTemporary(int dirFd, const std::string& folder, std::string& temp);
// Writes all of data to fd; 0, or the errno of the write that failed.
int WriteAll(int fd, std::string_view data);
bool DirExists(const std::string& path);
// The last component of a path (either separator), as the status texts show it.
std::string FileNamePart(const std::string& path);
// A message text with one "%s" filled in (the string table's formatted messages).
std::string FormatText(const char* format, const std::string& arg);
// The text with a-z made A-Z; every other byte unchanged (names, never prose).
std::string AsciiUpper(std::string text);
// One to mostDigits hex digits, any case, and nothing else: their value.
std::optional<unsigned> HexNumber(std::string_view text, std::size_t mostDigits);
// Text that came from the link (a file name above all), made safe to print on a
// terminal or in a window: control bytes, DEL and the C1 controls (0x80-0x9F, alone or
// as UTF-8 code points) become \xNN, and a backslash becomes \\. Valid UTF-8 otherwise
// stays as it is; in other text every byte from 0x80 to 0x9F is escaped.
std::string VisibleText(std::string_view text);
