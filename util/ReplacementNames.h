// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the file helpers share on every system (util/ReplacementNames.cpp): the names of a
// file kept beside another (numbered, dated, the first free one), the hidden temporaries'
// names, and whole reads and writes on a descriptor. The system calls that place the
// files stay in each system's own file (ReplacementFile.cpp, ReplacementFileWin32.cpp,
// UtilsFiles.cpp, UtilsFilesWin32.cpp).
#include <cstddef>
#include <functional>
#include <string>

#include "util/ByteString.h"

// Where the extension of an entry name starts (its last dot, not a leading one), or
// npos.
std::size_t ExtensionAt(const std::string& name);
// "NAME 2026-12-11 09-30-05.EXT": the name with the local time in it.
std::string DatedName(const std::string& name);
// Tries name, then "NAME (2).EXT", "NAME (3).EXT" and on, with place(candidate), which
// returns 0 once it has used the name, EEXIST when the name is taken, or another errno
// that ends the search. 0 with the name used in chosen, or the errno.
int FirstFreeName(const std::string& name, std::string& chosen, const std::function<int(const std::string&)>& place);
// Makes a new temporary file: create(folder + TemporaryPrefix + random letters) until it
// gives a descriptor, or fails otherwise than with EEXIST. The descriptor with its name in
// temp, or -1 with errno set.
int CreateTemporaryNamed(const std::string& folder, std::string& temp, const std::function<int(const std::string&)>& create);
// Reads fd to its end, appending to data; 0, or the errno of the read that failed.
int ReadAll(int fd, ByteString& data);
