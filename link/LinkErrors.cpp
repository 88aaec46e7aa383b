#include <atomic>
#include <fcntl.h>
#include <unistd.h>

#include "link/LinkErrors.h"
#include "link/Trace.h"
#include "util/CalvyxError.h"
#include "util/MainThread.h"
#include "util/StringTable.h"
#include "util/Ticks.h"

namespace {

// The tracked file slots, indexed by FileSlot. Used by one transfer at a time; atomic
// only so that a stray reader from another thread sees a whole value.
std::atomic<int> Slots[2] = {-1, -1};

std::atomic<int>& SlotOf(FileSlot slot) { return Slots[slot == FileSlot::Send ? 0 : 1]; }

} // namespace

int OpenTrackedFile(FileSlot slot, const std::string& path, FileAccess access)
{
    // A file still held in the slot would otherwise stay open for good.
    CloseTrackedFile(slot);
    const int flags = access == FileAccess::Read ? O_RDONLY : O_WRONLY | O_CREAT | O_TRUNC;
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    SlotOf(slot) = fd < 0 ? -1 : fd;
    return fd;
}

void CloseTrackedFile(FileSlot slot)
{
    const int fd = SlotOf(slot).exchange(-1);
    if (fd >= 0) ::close(fd);
}

int TrackedFile(FileSlot slot) { return SlotOf(slot); }

void SeriousErrorAfter(int pauseMs)
{
    Trace("Serious error, disconnecting");
    // The link stays open: the caller's handler decides what follows.
    const bool mainThread = InMainThread();
    if (mainThread) ProcessPendingEvents();
    CloseTrackedFile(FileSlot::Send);
    CloseTrackedFile(FileSlot::Receive);
    SleepMs(pauseMs);
    throw CalvyxError("");
}

void SeriousError() { SeriousErrorAfter(100); }

void RaiseError(const std::string& detail) { throw CalvyxError(std::string(Str::Error) + "(" + detail + ")"); }

std::string OpenErrorText(const std::string& name, const std::string& reason)
{
    const std::string because = reason.empty() ? "" : ". " + reason;
    return std::string(Str::Error) + "(" + Str::UnableToOpenComms + name + because + ")";
}

void RaiseOpenError(const std::string& name, const std::string& reason) { throw CalvyxError(OpenErrorText(name, reason)); }
