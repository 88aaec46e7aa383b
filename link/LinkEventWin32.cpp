// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "link/LinkEvent.h"

namespace linkevent {

int Make()
{
    HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    return event ? static_cast<int>(HandleToLong(event)) : -1;
}

void Raise(int event)
{
    if (event != -1) ::SetEvent(LongToHandle(event));
}

void Lower(int event)
{
    if (event != -1) ::ResetEvent(LongToHandle(event));
}

void Destroy(int event)
{
    if (event != -1) ::CloseHandle(LongToHandle(event));
}

// Windows has no SIGPIPE: a write to a vanished device fails with an error.
void PrepareProcess() {}

} // namespace linkevent
