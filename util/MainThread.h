#pragma once
// How worker threads reach the windows: a synchronised call runs a function in the
// main (GUI) thread while the worker waits for it to finish. The main thread's waits
// for a transfer thread keep serving those calls.
#include <functional>

class QThread;

// True in the thread that owns the QCoreApplication (or when there is none).
bool InMainThread();

// Runs fn in the main thread and returns when it has run. Called in the main thread,
// it simply calls fn. Without an application object it calls fn in place.
void RunInMainThread(const std::function<void()>& fn);

// Lets the user interface process its pending events; does nothing outside the main
// thread, where synchronised calls keep the windows responsive instead.
void ProcessPendingEvents();

// Main thread: waits until thread has finished while still running the synchronised
// calls and events it posts. Returns at once when the thread is not running.
void WaitServingCalls(QThread* thread);
