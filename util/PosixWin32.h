// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few POSIX file calls of the layers that the MinGW C runtime lacks, for the Windows
// build only (the build includes this header first in every file). Regular files never
// block on Windows and handles are not inherited when opened with _O_NOINHERIT; there
// are no FIFOs, terminals or symbolic links for the other flags to guard against.
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

// Files are bytes: every open is binary (text mode would end a read at a 0x1A byte and
// turn LF into CR LF), whatever the C runtime's default mode is.
#undef O_RDONLY
#undef O_WRONLY
#undef O_RDWR
#define O_RDONLY (_O_RDONLY | _O_BINARY)
#define O_WRONLY (_O_WRONLY | _O_BINARY)
#define O_RDWR (_O_RDWR | _O_BINARY)

#ifndef O_CLOEXEC
#define O_CLOEXEC _O_NOINHERIT
#endif
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif
#ifndef O_NOCTTY
#define O_NOCTTY 0
#endif
#ifndef O_NOFOLLOW
#define O_NOFOLLOW 0
#endif

#define fsync _commit

// Descriptors of files never block: no file status flag to get, none but 0 to set.
#define F_GETFL 3
#define F_SETFL 4
inline int fcntl(int, int command, int flags = 0)
{
    if (command == F_GETFL || (command == F_SETFL && flags == 0)) return 0;
    errno = EINVAL;
    return -1;
}

// n bytes at offset without moving the file position; -1 with errno on failure.
ssize_t pread(int fd, void* buffer, size_t n, off_t offset);

// Anonymous private pages only (the one use), read and write.
#define PROT_READ 1
#define PROT_WRITE 2
#define MAP_PRIVATE 2
#define MAP_ANONYMOUS 0x20
#define MAP_FAILED (reinterpret_cast<void*>(-1))
void* mmap(void* address, size_t size, int protection, int flags, int fd, off_t offset);
int munmap(void* address, size_t size);

// The user and group numbers the connection doctor's data carries (never filled in on
// Windows).
using uid_t = unsigned;
using gid_t = unsigned;

// The hang-up signal Windows has not, so that the lists of signals to catch build
// (StopSignal on Windows watches the console's events, whatever the list names).
#include <signal.h>
#ifndef SIGHUP
#define SIGHUP 1
#endif
