// SPDX-License-Identifier: GPL-3.0-or-later
// The ROM update stream on the virtual calculator's USB pipe device: the exact bytes on
// the wire, the chunking seen through the progress reports, and the failures.
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

#include <sys/stat.h>

#include "services/RomSender.h"
#include "tests/services/TransferFixture.h"
#include "tools/sim/RomRole.h"
#include "util/StringTable.h"
#include "util/Ticks.h"
#include "util/TransferText.h"

using namespace testing_services;

namespace {

class RomUpdate : public TransferTest {
protected:
    // Runs the sender to its end, recording its events and what a status dialog shows
    // of them.
    bool Send(const std::string& path, std::string* error = nullptr)
    {
        RomSender sender(LinkLease(link.Program()), path, Recorder());
        EXPECT_TRUE(WaitForThread(&sender, 30000)) << "the ROM update did not end";
        if (error) *error = sender.ErrorText;
        return sender.Success;
    }

    // Events go to the main thread, as the transfer server delivers them.
    TransferEventSink Recorder(std::function<void(const TransferEvent&)> also = {})
    {
        return [this, also](const TransferEvent& event) {
            RunInMainThread([&] {
                events.push_back(event);
                ShowOnStatusDialog(*dialog, event);
                reports = dialog->Reports();
                if (also) also(event);
            });
        };
    }

    std::vector<int> ProgressDone() const
    {
        std::vector<int> done;
        for (const auto& r : reports)
            if (r.kind == StatusKind::Progress) done.push_back(r.done);
        return done;
    }

    std::unique_ptr<RecordingStatusDialog> dialog = std::make_unique<RecordingStatusDialog>();
    std::vector<TransferEvent> events; // main thread only
    std::vector<StatusReport> reports; // what the dialog was told
};

struct StreamCase {
    std::size_t size;
    std::vector<int> progress; // Done of each report: one before every chunk, one at the end
};

TEST_F(RomUpdate, StreamIsTheLengthThenTheFileInChunksOf2048)
{
    const StreamCase cases[] = {
        {1, {0, 5}},
        {2044, {0, 2048}},
        {2045, {0, 2048, 2049}},
        {70000, {}},
    };
    UseUsb();
    for (const auto& c : cases) {
        SCOPED_TRACE("file of " + std::to_string(c.size) + " bytes");
        dialog = std::make_unique<RecordingStatusDialog>();
        events.clear();
        reports.clear();
        OpenProgramSide(); // each update leaves the link closed
        const ByteString rom = RandomBytes(c.size, static_cast<uint32_t>(c.size));
        const std::string path = WriteTempFile("rom.bin", rom);
        // The calculator records the raw stream and whatever follows it.
        auto calculator = Calculator([&] {
            const ByteString stream = calc->ReceiveExactly(rom.size() + 4, 10000);
            return stream + calc->Receive(16, 200);
        });

        EXPECT_TRUE(Send(path));
        const ByteString wire = calculator.get();

        ASSERT_EQ(wire.size(), rom.size() + 4) << HexBytes(wire, 16);
        EXPECT_EQ(wire.substr(0, 4), RomLengthPrefix(static_cast<uint32_t>(c.size)));
        EXPECT_TRUE(wire.substr(4) == rom) << "ROM bytes changed on the wire";
        EXPECT_FALSE(link.Program().IsOpen());
        ASSERT_GE(reports.size(), 3u);
        EXPECT_EQ(reports.front().text, "Connecting ...");
        EXPECT_EQ(reports.front().kind, StatusKind::Connecting);
        EXPECT_EQ(reports.back().kind, StatusKind::Finished);
        EXPECT_EQ(dialog->Captions(), std::vector<std::string>{"Copying " + path});
        EXPECT_EQ(events.front().stage, TransferStage::Started);
        EXPECT_TRUE(events.back().Succeeded());
        if (!c.progress.empty()) {
            EXPECT_EQ(ProgressDone(), c.progress);
        }
        for (const auto& r : reports) {
            if (r.kind != StatusKind::Progress) continue;
            EXPECT_EQ(r.total, static_cast<int>(c.size + 4));
        }
    }
}

// Files that cannot be a ROM are refused before a byte goes out: the calculator would
// take a length of 0, or wait for bytes that never come.
TEST_F(RomUpdate, FilesThatCannotBeARomAreRefusedBeforeAnythingIsSent)
{
    UseUsb();
    const std::string empty = WriteTempFile("empty.bin", "");
    const std::string fifo = dir.filePath("pipe.bin").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        const char* why;
    } cases[] = {
        {empty, "is empty"},
        {dir.path().toStdString(), "is a folder"},
        {fifo, "is not a regular file"},
        {"/dev/zero", "is not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const auto problem = RomFileProblem(c.path);
        ASSERT_TRUE(problem);
        EXPECT_NE(problem->find(c.why), std::string::npos) << *problem;
        OpenProgramSide();
        auto calculator = Calculator([&] { return calc->Receive(16, 1500); });
        std::string error;
        const uint32_t start = Now();
        EXPECT_FALSE(Send(c.path, &error));
        EXPECT_LT(TicksSince(start), 5000u) << "the refusal waited";
        EXPECT_NE(error.find(c.why), std::string::npos) << error;
        EXPECT_EQ(calculator.get(), "") << "bytes went out";
    }
    EXPECT_FALSE(RomFileProblem(WriteTempFile("rom.bin", "x")));
}

// A stop (the window closing, Ctrl-C) ends the stream before its next chunk; the
// calculator gets no more and the link is closed as after any load.
TEST_F(RomUpdate, AStopEndsTheStreamBeforeTheNextChunk)
{
    UseUsb();
    OpenProgramSide();
    const std::string path = WriteTempFile("big.bin", RandomBytes(64 * 2048, 5));
    auto calculator = Calculator([&] { return calc->ReceiveExactly(64 * 2048 + 4, 3000); });
    std::stop_source stop;
    int progress = 0;
    RomSender sender(LinkLease(link.Program()), path, Recorder([&](const TransferEvent& event) {
                         if (event.stage == TransferStage::Progress && ++progress == 3) stop.request_stop();
                     }),
                     stop.get_token());
    ASSERT_TRUE(WaitForThread(&sender, 30000)) << "the ROM update did not end";
    EXPECT_FALSE(sender.Success);
    EXPECT_EQ(sender.ErrorText, RomSender::RomLoadStoppedText);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().stage, TransferStage::Ended);
    EXPECT_EQ(events.back().outcome, TransferOutcome::Cancelled);
    EXPECT_EQ(events.back().reason, TransferReason::UserCancelled);
    const ByteString got = calculator.get();
    EXPECT_LE(got.size(), 3u * RomSender::ChunkSize) << "chunks went out after the stop";
    EXPECT_FALSE(link.Program().IsOpen());
}

// Ctrl-C or a closing window while the calculator has stopped taking data: the chunk in
// progress gives up within about a step, not at the stall limit, on both kinds of line.
TEST_F(RomUpdate, AStopEndsAChunkTheCalculatorStoppedTaking)
{
    const std::pair<const char*, bool> lines[] = {{"USB pipe device", true}, {"pseudo-terminal", false}};
    constexpr std::size_t TakenBeforeStall = 10000;
    for (const auto& [what, onUsb] : lines) {
        SCOPED_TRACE(what);
        if (onUsb)
            UseUsb();
        else
            UsePty();
        OpenProgramSide();
        const std::string path = WriteTempFile("stall.bin", RandomBytes(1 << 20, 6));
        // The calculator takes the first bytes, then nothing more.
        auto calculator = Calculator([&] { return calc->ReceiveExactly(TakenBeforeStall, 5000).size(); });
        std::stop_source stop;
        RomSender sender(LinkLease(link.Program()), path, {}, stop.get_token());
        // Serving the sender's reports, long enough for the line's buffer to fill once
        // the calculator stopped: the sender then waits for room.
        EXPECT_FALSE(WaitForThread(&sender, 1000)) << "a 1 MB stream went out with nobody reading";
        ASSERT_EQ(calculator.get(), TakenBeforeStall) << "the stream did not start";
        const auto stopped = std::chrono::steady_clock::now();
        stop.request_stop();
        ASSERT_TRUE(WaitForThread(&sender, static_cast<int>(WriteStopBoundMs)))
            << "the stop did not end the stalled chunk within " << WriteStopBoundMs << " ms";
        EXPECT_LT(MsSince(stopped), WriteStopBoundMs);
        EXPECT_FALSE(sender.Success);
        EXPECT_EQ(sender.ErrorText, RomSender::RomLoadStoppedText);
        EXPECT_FALSE(link.Program().IsOpen());
    }
}

TEST_F(RomUpdate, LengthGoesLeastSignificantByteFirst)
{
    EXPECT_EQ(HexBytes(RomLengthPrefix(70000)), "70 11 01 00");
    EXPECT_EQ(HexBytes(RomLengthPrefix(0xA1B2C3D4)), "D4 C3 B2 A1");
}

TEST_F(RomUpdate, CalculatorInRomLoadModeAcceptsTheStreamReportedChunkByChunk)
{
    UseUsb();
    OpenProgramSide();
    const ByteString rom = RandomBytes(100000, 3);
    const std::string path = WriteTempFile("os.bin", rom);
    auto calculator = Calculator([&] { return sim::ReceiveRomStream(*calc, rom, 5000, 5000); });

    EXPECT_TRUE(Send(path));
    const auto loaded = calculator.get();

    EXPECT_TRUE(loaded.ok) << loaded.error;
    EXPECT_EQ(loaded.declaredLength, 100000u);
    // 49 chunks: a report before each, however fast the link takes them, and the last
    // one at the end of the stream.
    std::vector<int> expected;
    for (int at = 0; at < 100004; at += 2048) expected.push_back(at);
    expected.push_back(100004);
    EXPECT_EQ(ProgressDone(), expected);
}

TEST_F(RomUpdate, MissingFileWritesNothingAndClosesTheLink)
{
    UseUsb();
    OpenProgramSide();
    const std::string path = dir.filePath("absent.bin").toStdString();
    std::string error;

    EXPECT_FALSE(Send(path, &error));

    EXPECT_EQ(error, "Error(Unable to open file " + path + " - WinErr=2)");
    EXPECT_FALSE(link.Program().IsOpen());
    EXPECT_EQ(calc->Receive(16, 200), "");
    // The dialog keeps "Connecting ..." until the user closes it.
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].text, Str::ConnectingDots);
}

TEST_F(RomUpdate, CalculatorGoneBeforeOrDuringTheStreamIsAFailure)
{
    UseUsb();
    const std::string path = WriteTempFile("os.bin", RandomBytes(1 << 20, 4));
    for (const std::size_t readBeforeUnplug : {std::size_t(0), std::size_t(10000)}) {
        SCOPED_TRACE("calculator gone after " + std::to_string(readBeforeUnplug) + " bytes");
        usb->Plug();
        OpenProgramSide();
        dialog = std::make_unique<RecordingStatusDialog>();
        events.clear();
        reports.clear();
        auto calculator = Calculator([&] {
            const ByteString got = calc->ReceiveExactly(readBeforeUnplug, 5000);
            usb->Unplug(); // nobody reads the write pipe any more
            return got.size();
        });
        if (readBeforeUnplug == 0) calculator.wait();
        std::string error;

        EXPECT_FALSE(Send(path, &error));

        EXPECT_EQ(calculator.get(), readBeforeUnplug);
        EXPECT_NE(error.find("Cannot write to the calculator"), std::string::npos) << error;
        EXPECT_FALSE(link.Program().IsOpen());
        ASSERT_FALSE(reports.empty());
        EXPECT_NE(reports.back().kind, StatusKind::Finished); // the dialog is not closed as after success
        EXPECT_TRUE(dialog->IsStatusVisible());
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().outcome, TransferOutcome::Failed);
        EXPECT_EQ(events.back().reason, TransferReason::LinkLost);
        EXPECT_EQ(events.back().detail, error);
    }
}

} // namespace
