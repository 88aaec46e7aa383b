// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Kermit engine on a real link, with the virtual calculator on the far end: the USB
// pipe device by default (fast, unthrottled), a pseudo-terminal where the serial
// behaviour matters. The status dialog and the main window are recorders: the engine's
// events are shown on the dialog in the main thread (as the transfer server shows them)
// and kept in events; the dialog's Cancel reaches the engine as a call.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>
#include <string>
#include <vector>

#include "kermit/KermitServer.h"
#include "tests/support/Recorders.h"
#include "tools/sim/KermitRole.h"
#include "tools/sim/SimPort.h"

class KermitEngineTest : public ::testing::Test {
protected:
    enum class Wire { Usb, Serial };

    void SetUp() override { Connect(Wire::Usb); }
    void TearDown() override;

    // Opens the link on a fresh far end and starts an engine serving folder; throws
    // (ending the test) when it cannot.
    void Connect(Wire wire);
    void StopEngine();
    // A fresh engine on the open link, serving folder (after one that ended).
    void StartEngine();

    // Runs the calculator's script while serving the engine's calls; fails after limitMs.
    bool Calculator(const std::function<void()>& script, int limitMs = 30000);

    std::string FolderPath(const std::string& name) const;
    // Files in the folder, hidden ones included (a temporary file must not be left).
    QStringList FolderEntries() const;

    RecordingWindows windows;
    Link link;
    QTemporaryDir folder;
    QTemporaryDir deviceRoot;
    std::unique_ptr<sim::SimPort> port;
    std::unique_ptr<KermitServer> engine;
    // Every event of the engine's transfers, in order (main thread).
    std::vector<TransferEvent> events;
};

// A byte string of n bytes holding every value, in a scrambled but fixed order.
ByteString AllByteValues(std::size_t n, uint32_t seed = 7);
