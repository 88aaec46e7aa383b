// SPDX-License-Identifier: GPL-3.0-or-later
// StopSignal on Windows: the console's Ctrl+C, Ctrl+Break and close events (the caught
// list is for POSIX signals; Windows has only these). level_[0] holds a manual-reset
// event that stays set from the first stop on, notify_[0] an auto-reset one that the
// event loop watches; both handles fit an int, as every kernel handle does.
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include <windows.h>

#include <QWinEventNotifier>

#include "util/StopSignal.h"

namespace {

std::atomic<bool> gInstalled{false};
std::atomic<bool> gRaised{false};
std::atomic<HANDLE> gLevel{nullptr};
std::atomic<HANDLE> gNotify{nullptr};

BOOL WINAPI OnConsoleEvent(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && type != CTRL_CLOSE_EVENT) return FALSE;
    gRaised = true;
    if (HANDLE level = gLevel.load()) ::SetEvent(level);
    if (HANDLE notify = gNotify.load()) ::SetEvent(notify);
    return TRUE;
}

HANDLE AsHandle(int value) { return value == -1 ? nullptr : LongToHandle(value); }
int AsInt(HANDLE handle) { return handle ? static_cast<int>(HandleToLong(handle)) : -1; }

} // namespace

StopSignal::StopSignal(const std::vector<int>&)
{
    if (gInstalled.exchange(true)) {
        std::fprintf(stderr, "StopSignal: one lives at a time\n");
        std::abort();
    }
    gRaised = false;
    HANDLE level = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE notify = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!level || !notify) {
        if (level) ::CloseHandle(level);
        if (notify) ::CloseHandle(notify);
        return;
    }
    level_[0] = AsInt(level);
    notify_[0] = AsInt(notify);
    gLevel = level;
    gNotify = notify;
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

StopSignal::~StopSignal()
{
    ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    gLevel = nullptr;
    gNotify = nullptr;
    delete notifier_;
    if (HANDLE level = AsHandle(level_[0])) ::CloseHandle(level);
    if (HANDLE notify = AsHandle(notify_[0])) ::CloseHandle(notify);
    level_[0] = notify_[0] = -1;
    gRaised = false;
    gInstalled = false;
}

bool StopSignal::Raised() const { return gRaised; }

bool StopSignal::Wait(int ms) const
{
    HANDLE level = AsHandle(level_[0]);
    if (!level) {
        ::Sleep(ms >= 0 ? static_cast<DWORD>(ms) : INFINITE);
        return Raised();
    }
    ::WaitForSingleObject(level, ms >= 0 ? static_cast<DWORD>(ms) : INFINITE);
    return Raised();
}

// The notifier's slot runs once per activation: stops that come faster than the event
// loop looks count once.
void StopSignal::OnSignal(QObject* context, std::function<void()> onSignal)
{
    delete notifier_;
    HANDLE notify = AsHandle(notify_[0]);
    if (!notify) return;
    auto* notifier = new QWinEventNotifier(notify, context);
    QObject::connect(notifier, &QWinEventNotifier::activated, notifier, [onSignal = std::move(onSignal)] { onSignal(); });
    notifier_ = notifier;
}
