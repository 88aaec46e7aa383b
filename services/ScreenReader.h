// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ScreenReader: reads pictures of the calculator's display from the link. The
// calculator sends one when its user presses ON and 1 together. Runs in a thread of
// its own (the capture window's, calvyx-cli's); another thread ends a read in progress
// with Cancelled.
#include <atomic>
#include <string>

#include "link/Link.h"
#include "util/ByteString.h"

class ScreenReader {
public:
    // Reads through the lent link, which goes back when the reader is destroyed, on
    // portName (as the user spelled it: errors name it so).
    ScreenReader(LinkLease link, std::string portName) : link_(std::move(link)), portName_(std::move(portName)) {}

    // Set by another thread to end a ReadScreen at its next read; never cleared, so a
    // cancelled object is discarded.
    std::atomic<bool> Cancelled{false};

    // Fills image with one complete screen (initialBytes are the bytes of it already
    // taken off the link), or leaves it empty when cancelled. An empty port name
    // returns initialBytes without touching the link. Opens the link on the port when
    // it is closed and always leaves it closed. Raises CalvyxError
    // "Error(The connectivity kit is unable to open communications to: <portName>)"
    // when the link cannot be opened or a read fails (with the link's OpenError, when
    // it has one, after the name).
    void ReadScreen(const ByteString& initialBytes, ByteString& image);

    // Opens the link on the port unless it is open (ReadScreen keeps it), so that a
    // screen pushed right after the user was told to press is not drained by the
    // opening. Raises like Link::Open.
    void OpenLink();
    void CloseLink() { link_->Close(); }
    // Why the link's last Open failed, for the user (LinkError::Reason), or empty.
    const std::string& OpenError() const { return openError_; }
    const std::string& PortName() const { return portName_; }

private:
    LinkLease link_;
    std::string portName_;
    std::string openError_;
};
