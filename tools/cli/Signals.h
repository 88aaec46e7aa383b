#pragma once
// SIGINT and SIGTERM turned into a call in the main thread's event loop (a self-pipe
// watched by a socket notifier), so a command can stop its transfer cleanly.
#include <functional>

namespace cli {

class StopSignals {
public:
    explicit StopSignals(std::function<void(int signal)> onSignal);
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    struct Impl;
    Impl* impl_;
};

// The read end of the self-pipe while a StopSignals object lives, else -1: a wait outside
// the event loop (a question on the terminal) watches it to end at once on Ctrl-C. It is
// only watched, never read: the byte stays for the event loop's handler.
int StopSignalFd();

} // namespace cli
