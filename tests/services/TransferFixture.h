// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The services tests: the real link on the virtual calculator's USB pipe device (or a
// pseudo-terminal), recording stand-ins for the windows, and the calculator's side run
// in a thread of its own with bounded waits.
#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <memory>
#include <string>

#include <QTemporaryDir>

#include "tests/support/Bytes.h"
#include "tests/support/LinkFixtures.h"
#include "tests/support/Recorders.h"
#include "tools/sim/SimPort.h"
#include "util/ByteString.h"
#include "util/MainThread.h"

namespace testing_services {

// Waits in the main thread for thread to end, serving its synchronised calls, but no
// longer than timeoutMs. False on time-out: the test fails rather than hangs.
bool WaitForThread(WorkerThread* thread, int timeoutMs);

class TransferTest : public ::testing::Test {
protected:
    void SetUp() override;

    // The calculator on a USB pipe device under a fresh device root, or on a pty.
    void UseUsb();
    void UsePty();
    // Opens the program's side of the link the way the transfer server does.
    void OpenProgramSide();
    std::string ProgramPortName() const { return calc->ProgramPortName(); }

    // Plays the calculator's side in a thread of its own.
    template <class Fn>
    auto Calculator(Fn fn) -> std::future<decltype(fn())>
    {
        return std::async(std::launch::async, std::move(fn));
    }

    std::string WriteTempFile(const std::string& name, const ByteString& data) const;

    QTemporaryDir dir;
    RecordingWindows windows;
    LinkOnSim link; // closes the link when the test ends
    sim::SimPort* calc = nullptr;
    sim::SimUsbDevice* usb = nullptr; // calc, when it is the USB device
};

} // namespace testing_services
