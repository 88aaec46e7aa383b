// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SIGINT and SIGTERM (or the signals the owner names) as a request to stop instead of
// an end of the process, so a program can close its port, unplug a device or save its
// settings on the way out. The handler only sets a flag and writes to pipes; everything
// else happens in the program's own threads:
//   - Raised() and Fd(): a level that stays set once a signal came, for loops and for a
//     poll() beside other descriptors (a question on the terminal);
//   - Wait(ms): a bounded or open wait that ends at the signal;
//   - OnSignal(): a call in the event loop for every signal caught.
// One StopSignal lives at a time; the handlers it replaced come back when it goes.
#include <csignal>
#include <functional>
#include <vector>

#include <QPointer>
#include <QSocketNotifier>

class StopSignal {
public:
    explicit StopSignal(const std::vector<int>& caught = {SIGINT, SIGTERM});
    ~StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    // True once one of the signals came while this object lived.
    bool Raised() const;
    // Readable from the first signal on, and it stays readable: poll() it beside other
    // descriptors, never read it. -1 when no pipe could be made.
    int Fd() const { return level_[0]; }
    // Waits until a signal came or ms passed (ms < 0: until a signal). True when one came.
    bool Wait(int ms) const;
    // Calls onSignal in the event loop of the calling thread, once for every signal
    // caught from now on, until context (when not null) or this object goes. A later
    // call replaces the earlier one.
    void OnSignal(QObject* context, std::function<void()> onSignal);

private:
#ifdef _WIN32
    // Windows: the console's Ctrl+C, Ctrl+Break and close events; the handles of two
    // events stand in for the pipes.
    struct Previous {
        int signal;
    };
#else
    struct Previous {
        int signal;
        struct sigaction action;
    };
#endif
    int level_[2] = {-1, -1};  // written at each signal, never read
    int notify_[2] = {-1, -1}; // written at each signal, read by the event loop
#ifdef _WIN32
    QPointer<QObject> notifier_; // a QWinEventNotifier, a child of OnSignal's context
#else
    QPointer<QSocketNotifier> notifier_; // a child of OnSignal's context, which may go first
#endif
    std::vector<Previous> previous_;
};
