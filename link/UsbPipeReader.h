#pragma once
// The USB reader: one pipe read outstanding at a time, chunks of up to 64 bytes handed
// to the reading side, which never waits more than 100 ms for one.
#include <atomic>

// Set by a stop request to make a USB read in progress give up; cleared by ReadLink.
extern std::atomic<bool> ReadCancel;

// One hand-off step of ReadLink on USB: fills PortLink.RxBuffer/RxCount.
void PumpUsb();
// Stops and joins the reader (CloseLink); the reader is woken, never killed.
void StopReaderThread();
// The transfer server's start: there is normally no reader yet; one left over is
// stopped rather than leaked.
void ForgetReaderThread();
bool ReaderThreadRunning();
