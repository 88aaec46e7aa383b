#pragma once
// ScreenReader: reads one picture of the calculator's display from the link. The
// calculator sends it when its user presses ON and 1 together. Runs in the capture
// window's receive thread; another thread ends a read in progress with Cancelled.
#include <atomic>
#include <string>

#include "util/ByteString.h"

class ScreenReader {
public:
    // Set by another thread to end a Capture at its next read; never cleared, so a
    // cancelled object is discarded.
    std::atomic<bool> Cancelled{false};

    // Fills Image with one complete screen (InitialBytes are the bytes of it already
    // taken off the link), or leaves it empty when cancelled. An empty PortName
    // returns InitialBytes without touching the link. Opens the link when it is
    // closed and always leaves it closed. Raises CalvyxError
    // "Error(The connectivity kit is unable to open communications to: <PortName>)"
    // when the link cannot be opened or a read fails.
    void Capture(const std::string& PortName, const ByteString& InitialBytes, ByteString& Image);
};
