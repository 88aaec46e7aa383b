// SPDX-License-Identifier: GPL-3.0-or-later
#include <cerrno>

#include <windows.h>

#include "util/PosixWin32.h"

ssize_t pread(int fd, void* buffer, size_t n, off_t offset)
{
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) {
        errno = EBADF;
        return -1;
    }
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<unsigned long long>(offset) & 0xffffffffu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(offset) >> 32);
    DWORD got = 0;
    const DWORD want = n > 0x40000000u ? 0x40000000u : static_cast<DWORD>(n);
    if (!::ReadFile(handle, buffer, want, &got, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF) return 0;
        errno = EIO;
        return -1;
    }
    return static_cast<ssize_t>(got);
}

void* mmap(void*, size_t size, int protection, int flags, int fd, off_t)
{
    if (fd != -1 || !(flags & MAP_ANONYMOUS) || protection != (PROT_READ | PROT_WRITE)) {
        errno = EINVAL;
        return MAP_FAILED;
    }
    void* pages = ::VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!pages) {
        errno = ENOMEM;
        return MAP_FAILED;
    }
    return pages;
}

int munmap(void* address, size_t) { return ::VirtualFree(address, 0, MEM_RELEASE) ? 0 : -1; }
