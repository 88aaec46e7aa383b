// SPDX-License-Identifier: GPL-3.0-or-later
// Private folders on Windows: the program keeps its run-time files under the user's own
// profile (AppData\Local), whose permissions already keep other users out; what is left
// to refuse is a folder that is missing or is a link (a junction or a symbolic link
// could lead the lock somewhere else).
#include <windows.h>

#include "util/PrivateFolder.h"

namespace {

// The attributes of the entry itself, or INVALID_FILE_ATTRIBUTES.
DWORD AttributesOf(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

std::string FolderProblem(const std::string& path, DWORD attributes)
{
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return "The folder " + path + " is missing (Windows error " + std::to_string(::GetLastError()) + ")";
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return "The folder " + path + " is a link; remove it and start again";
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return path + " is not a folder; remove it and start again";
    return {};
}

} // namespace

std::string PrivateFolderProblem(const std::string& path) { return FolderProblem(path, AttributesOf(path)); }

std::string MakePrivateFolder(const std::string& path)
{
    if (!::CreateDirectoryA(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return "The folder " + path + " cannot be made (Windows error " + std::to_string(::GetLastError()) + ")";
    return PrivateFolderProblem(path);
}

std::string PrivateEntryProblem(const std::string& path)
{
    const DWORD attributes = AttributesOf(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return path + " is a link; remove it and start again";
    return {};
}
