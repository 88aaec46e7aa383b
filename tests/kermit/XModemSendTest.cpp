// SPDX-License-Identifier: GPL-3.0-or-later
// The XModem send, started by the calculator's start byte while the Kermit server
// listens, with the virtual calculator receiving the blocks.
#include "tests/support/KermitEngineFixture.h"

#include <fstream>

#include <unistd.h>

#include "kermit/KermitFrame.h"
#include "tests/support/Serving.h"
#include "util/Ticks.h"
#include "util/Utils.h"
#include "xmodem/XModemBlock.h"
#include "xmodem/XModemSend.h"

using namespace xmodem;
using sim::XModemReceivePlan;
using sim::XModemReceiveResult;

namespace {

class XModemSendTest : public KermitEngineTest {
protected:
    // The file the user picks in the chooser.
    void Pick(const ByteString& data, const std::string& name = "SEND.QVA")
    {
        WriteStringToFile(data, FolderPath(name));
        windows.host.fileToSend = FolderPath(name);
    }
    XModemReceiveResult Receive(const XModemReceivePlan& plan, int limitMs = 60000)
    {
        XModemReceiveResult r;
        EXPECT_TRUE(Calculator([&] { r = sim::ReceiveByXModem(*port, plan); }, limitMs));
        return r;
    }
};

std::vector<std::size_t> ExpectedBlocks(std::size_t size)
{
    std::vector<std::size_t> blocks;
    for (std::size_t left = size; left > 0;) {
        const std::size_t b = left > 1024 ? 1024 : 128;
        blocks.push_back(b);
        left -= std::min(b, left);
    }
    return blocks;
}

TEST_F(XModemSendTest, FilesOfEverySizeInBothModes)
{
    for (const uint8_t start : {NAK, CrcStart}) {
        for (const std::size_t size : {0UL, 1UL, 128UL, 129UL, 1024UL, 1025UL, 300000UL}) {
            SCOPED_TRACE(std::string(CheckModeName(CheckModeForStart(start))) + ", " + std::to_string(size) + " bytes");
            const ByteString data = AllByteValues(size, static_cast<uint32_t>(size));
            Pick(data);
            XModemReceivePlan plan;
            plan.startByte = start;
            plan.startRepeatMs = 1000;
            const XModemReceiveResult r = Receive(plan);
            ASSERT_TRUE(r.ok) << r.error;
            EXPECT_EQ(r.blockSizes, ExpectedBlocks(size));
            // Numbered from 1, modulo 256: the 256th block carries 0.
            for (std::size_t i = 0; i < r.blockNumbers.size(); ++i) ASSERT_EQ(r.blockNumbers[i], (i + 1) % 256) << i;
            ASSERT_GE(r.data.size(), size);
            EXPECT_TRUE(r.data.compare(0, size, data) == 0) << "data differs";
            EXPECT_EQ(r.data.substr(size), ByteString(r.data.size() - size, PadByte));
            EXPECT_TRUE(ServeUntil([&] { return !windows.dialog.IsStatusVisible(); }, 3000))
                << "the ACK to EOT closes the dialog";
        }
    }
    EXPECT_EQ(windows.host.chooserCalls.front().first, "Send file to T20, T20+, T20s, T30s (By Wire)");
    EXPECT_EQ(windows.host.chooserCalls.front().second, folder.path().toStdString() + "/*.*");
    EXPECT_EQ(windows.dialog.Captions().front(), "Sending SEND.QVA");
}

TEST_F(XModemSendTest, RepliesDecideWhatComesNext)
{
    struct Case {
        const char* name;
        std::function<uint8_t(unsigned, int)> reply;
        bool ok;
        int blocksSeen;
    } cases[] = {
        {"NAK then ACK sends the block twice", [](unsigned b, int n) { return b == 1 && n == 1 ? NAK : ACK; }, true, 3},
        {"one silence then ACK", [](unsigned b, int n) { return b == 2 && n == 1 ? uint8_t(0) : ACK; }, true, 3},
        {"six NAKs end the transfer", [](unsigned, int) { return NAK; }, false, 6},
        {"CAN ends it at once", [](unsigned b, int) { return b == 2 ? CAN : ACK; }, false, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Pick(AllByteValues(200, 2));
        XModemReceivePlan plan;
        plan.reply = c.reply;
        plan.idleMs = 2500;
        const XModemReceiveResult r = Receive(plan);
        EXPECT_EQ(r.ok, c.ok) << r.error;
        EXPECT_EQ(r.blocksSeen, c.blocksSeen);
        if (c.ok) {
            EXPECT_EQ(r.data.substr(0, 200), AllByteValues(200, 2));
        } else {
            // The calculator keeps listening until it gives up; the PC must have stopped
            // sending: no EOT came, and the dialog stays open with its last text.
            EXPECT_EQ(r.eots, 0);
            EXPECT_TRUE(windows.dialog.IsStatusVisible());
            windows.dialog.Cancel();
        }
    }
}

TEST_F(XModemSendTest, SixSilentAnswersEndTheTransfer)
{
    Pick("x");
    XModemReceivePlan plan;
    plan.reply = [](unsigned, int) { return uint8_t(0); };
    plan.idleMs = 2500;
    const uint32_t before = Now();
    const XModemReceiveResult r = Receive(plan);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.blocksSeen, 6);
    EXPECT_EQ(r.eots, 0);
    // The first block goes out on the request; then six waits for a reply with five
    // 800 ms pauses between them.
    EXPECT_GE(TicksSince(before), 8000u);
    EXPECT_EQ(windows.dialog.Reports().back().text, "Not sent: the calculator did not take the file");
}

TEST_F(XModemSendTest, EotRetriedUntilAcknowledged)
{
    Pick("");
    XModemReceivePlan plan;
    plan.silentEots = 2;
    const XModemReceiveResult r = Receive(plan);
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.eots, 3);
    EXPECT_EQ(r.blocksSeen, 0);
}

TEST_F(XModemSendTest, DeclinedChooserSendsCan)
{
    windows.host.fileToSend.reset();
    const XModemReceiveResult r = Receive({});
    EXPECT_TRUE(r.cancelled) << r.error;
    EXPECT_TRUE(windows.dialog.Captions().empty());
}

// The receiver's request starts the blocks at once, whether it repeats its start byte
// every 1.5 s (the calculator) or waits many seconds before asking again; a start byte
// repeated meanwhile never brings a block twice.
TEST_F(XModemSendTest, TheFirstBlockAnswersTheRequestThatAsked)
{
    struct Case {
        const char* name;
        int repeatMs;
        uint8_t start;
    } cases[] = {{"repeats every 1.5 s", 1500, NAK}, {"asks again after 13 s", 13000, CrcStart}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ByteString data = AllByteValues(3000, 4);
        Pick(data);
        XModemReceivePlan plan;
        plan.startByte = c.start;
        plan.startRepeatMs = c.repeatMs;
        const uint32_t before = Now();
        const XModemReceiveResult r = Receive(plan);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_LT(TicksSince(before), 6000u) << "the sender waited for a second request";
        EXPECT_EQ(r.blocksSeen, static_cast<int>(ExpectedBlocks(data.size()).size())) << "a block came twice";
        EXPECT_TRUE(r.data.compare(0, data.size(), data) == 0);
    }
}

// Every send that has a file ends with a line: done, with a word when only the answer
// to the end was missing, or why it was not sent.
TEST_F(XModemSendTest, EverySendEndsWithALine)
{
    Pick("abc");
    XModemReceivePlan plan;
    plan.silentEots = 6;
    const XModemReceiveResult r = Receive(plan, 60000);
    EXPECT_EQ(r.eots, 6);
    EXPECT_EQ(r.data.substr(0, 3), "abc");
    ASSERT_TRUE(ServeUntil([&] { return !windows.dialog.IsStatusVisible(); }, 3000)) << "the dialog did not close";
    const auto reports = windows.dialog.Reports();
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[reports.size() - 2].text, "Sent; the calculator did not confirm the end of the file");
    EXPECT_EQ(reports.back().kind, StatusKind::Finished);
}

// The file is read a block at a time while the blocks go out: a file that changes size
// after the first blocks ends the send with two CANs and a line saying why, instead of
// going out as a mix of old and new bytes. (A send that read the file whole first would
// send the old bytes and report success.)
TEST_F(XModemSendTest, AFileThatChangesWhileSentEndsTheSend)
{
    struct Case {
        const char* name;
        std::function<void(const std::string&)> change;
        const char* why;
    } cases[] = {
        {"cut short", [](const std::string& path) { ASSERT_EQ(::truncate(path.c_str(), 2000), 0); },
         "changed size while it was sent (200000 bytes, now 2000)"},
        {"grown", [](const std::string& path) { std::ofstream(path, std::ios::app) << "more"; },
         "changed size while it was sent (200000 bytes, now 200004)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ByteString data = AllByteValues(200000, 9);
        Pick(data);
        const std::string path = FolderPath("SEND.QVA");
        XModemReceivePlan plan;
        plan.reply = [&](unsigned block, int) {
            if (block == 3) c.change(path);
            return ACK;
        };
        const XModemReceiveResult r = Receive(plan);
        EXPECT_TRUE(r.cancelled) << r.error;
        EXPECT_EQ(port->ReceiveExactly(1, 2000), ByteString(1, static_cast<char>(CAN))) << "the second CAN";
        EXPECT_EQ(r.blockSizes.size(), 3u);
        EXPECT_TRUE(r.data.compare(0, r.data.size(), data, 0, r.data.size()) == 0);
        const std::string line = "Not sent: " + path + " " + c.why;
        EXPECT_TRUE(
            ServeUntil([&] { return !windows.dialog.Reports().empty() && windows.dialog.Reports().back().text == line; }, 3000))
            << "last line: " << (windows.dialog.Reports().empty() ? "" : windows.dialog.Reports().back().text);
    }
}

// The user's cancel during the send (a call from another thread, as the dialog's Cancel
// makes it) stops the blocks: the calculator hears two CANs and the send ends as the
// user's.
TEST_F(XModemSendTest, ACancelStopsTheBlocksWithCans)
{
    Pick(AllByteValues(5000, 6));
    XModemReceivePlan plan;
    plan.reply = [&](unsigned block, int) {
        if (block == 2) engine->CancelTransfer();
        return ACK;
    };
    const XModemReceiveResult r = Receive(plan);
    EXPECT_TRUE(r.cancelled) << r.error;
    EXPECT_EQ(r.blocksSeen, 2);
    EXPECT_EQ(port->ReceiveExactly(1, 2000), ByteString(1, static_cast<char>(CAN))) << "the second CAN";
    ASSERT_TRUE(ServeUntil([&] { return !events.empty() && events.back().stage == TransferStage::Ended; }, 3000));
    EXPECT_EQ(events.back().kind, TransferKind::XModemSend);
    EXPECT_EQ(events.back().reason, TransferReason::UserCancelled);
}

TEST_F(XModemSendTest, UnreadableFileIsAnsweredWithN)
{
    windows.host.fileToSend = FolderPath("missing.bin");
    std::optional<sim::KermitPacket> answer;
    ASSERT_TRUE(Calculator([&] {
        port->Send("\x15");
        answer = sim::KermitCalculator(*port).ReadPacket(4000);
    }));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->type, 'N');
}

} // namespace
