// SPDX-License-Identifier: GPL-3.0-or-later
// The English words of transfer events: what calvyx-cli prints and scripts read, so
// each must come out exactly as the transfers have always worded it.
#include <gtest/gtest.h>

#include "util/TransferText.h"

namespace {

struct ProgressCase {
    const char* name;
    int64_t done;
    int64_t total;
    uint32_t elapsedMs;
    const char* text;
};

TEST(ProgressText, BytesAndKbytesForms)
{
    const ProgressCase cases[] = {
        {"bytes form", 2048, 4096, 2000, "2048/4096 bytes\r\n(50%)\r\n1023 bytes/s"},
        {"just under the switch", 10239, 20480, 999, "10239/20480 bytes\r\n(49%)\r\n10239 bytes/s"},
        {"exactly 10240 bytes/s switches", 10240, 20480, 999, "10/20 Kbytes\r\n(49%)\r\n10 Kbytes/s"},
        {"Kbytes percentage from done-1", 20480, 20480, 999, "20/20 Kbytes\r\n(99%)\r\n20 Kbytes/s"},
        {"bytes percentage from done", 100, 100, 999, "100/100 bytes\r\n(100%)\r\n100 bytes/s"},
        {"nothing done", 0, 4096, 5, "0/4096 bytes\r\n(0%)\r\n0 bytes/s"},
    };
    for (const auto& c : cases) EXPECT_EQ(ProgressText(c.done, c.total, c.elapsedMs), c.text) << c.name;
}

// A transfer with no announced size shows what came and how fast, never a share.
TEST(ProgressText, WithoutATotalTheBytesAndTheRate)
{
    const struct {
        int64_t done;
        uint32_t elapsedMs;
        const char* text;
    } cases[] = {
        {0, 5, "0 bytes\r\n0 bytes/s"},
        {3000, 2999, "3000 bytes\r\n1000 bytes/s"},
        {40960, 999, "40 Kbytes\r\n40 Kbytes/s"},
    };
    for (const auto& c : cases) EXPECT_EQ(ReceivedText(c.done, c.elapsedMs), c.text) << c.done;
}

TransferEvent Ended(TransferKind kind, TransferOutcome outcome, TransferReason reason, std::string detail = {})
{
    TransferEvent event;
    event.stage = TransferStage::Ended;
    event.kind = kind;
    event.file = "GRAPHS.CA";
    event.outcome = outcome;
    event.reason = reason;
    event.detail = std::move(detail);
    return event;
}

TEST(TransferText, EndsAreWordedByKindAndReason)
{
    using K = TransferKind;
    using O = TransferOutcome;
    using R = TransferReason;
    struct Case {
        TransferEvent event;
        std::string text;
    } const cases[] = {
        {Ended(K::KermitReceive, O::Failed, R::TooManyErrors), "Receiving GRAPHS.CA failed: too many errors on the line"},
        {Ended(K::KermitReceive, O::Failed, R::LinkLost), "Receiving GRAPHS.CA failed: link lost"},
        {Ended(K::KermitSend, O::Failed, R::CalculatorCancelled, "Disk full"),
         "Sending GRAPHS.CA failed: the calculator cancelled (Disk full)"},
        {Ended(K::KermitReceive, O::Failed, R::NoAnswer, "30 s"), "Receiving GRAPHS.CA failed: no answer for 30 s"},
        {Ended(K::KermitReceive, O::Failed, R::CannotStore, "No space left on device"),
         "Receiving GRAPHS.CA failed: cannot store the file: No space left on device"},
        {Ended(K::XModemSend, O::Failed, R::Abandoned), "Not sent: the calculator did not take the file"},
        {Ended(K::XModemSend, O::Failed, R::CalculatorCancelled), "Not sent: cancelled by the calculator"},
        {Ended(K::XModemSend, O::Failed, R::CannotRead, "/tmp/A.CA changed while it was sent"),
         "Not sent: /tmp/A.CA changed while it was sent"},
        {Ended(K::WireReceive, O::Failed, R::CalculatorCancelled), "Receive by wire failed: the calculator cancelled"},
        {Ended(K::WireReceive, O::Failed, R::BadBlocks), "Receive by wire failed: no valid block from the calculator"},
        {Ended(K::RomLoad, O::Failed, R::LinkLost, "Error(the calculator took no byte)"), "Error(the calculator took no byte)"},
        // Nothing to say: a success, and a cancel the user made.
        {Ended(K::KermitReceive, O::Completed, R::None), ""},
        {Ended(K::WireReceive, O::Cancelled, R::UserCancelled), ""},
    };
    for (const Case& c : cases) EXPECT_EQ(TransferStatusText(c.event), c.text) << c.text;
}

TEST(TransferText, ProgressIsWordedWithAndWithoutATotal)
{
    TransferEvent event;
    event.stage = TransferStage::Progress;
    event.done = 2048;
    event.total = 4096;
    event.elapsedMs = 2000;
    EXPECT_EQ(TransferStatusText(event), "2048/4096 bytes\r\n(50%)\r\n1023 bytes/s");
    event.total = 0;
    EXPECT_EQ(TransferStatusText(event), "2048 bytes\r\n1023 bytes/s");
    event.stage = TransferStage::Started;
    event.kind = TransferKind::WireReceive;
    event.file = "PROG.CA";
    EXPECT_EQ(TransferStatusText(event), "Receiving by wire");
    event.stage = TransferStage::Connecting;
    EXPECT_EQ(TransferStatusText(event), "Now send the Calcapp from the calculator's send menu");
    event.kind = TransferKind::RomLoad;
    EXPECT_EQ(TransferStatusText(event), "Connecting ...");
    event.stage = TransferStage::Started;
    EXPECT_EQ(TransferStatusText(event), "Copying PROG.CA");
}

} // namespace
