// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' words for the transfers' events and the server's status: without a
// translation exactly the English that calvyx-cli prints (util/TransferText), in
// another language translated part by part around the names and numbers.
#include <gtest/gtest.h>

#include "services/TransferServer.h"
#include "util/TransferText.h"
#include "windows/Language.h"
#include "windows/TransferTexts.h"

namespace {

constexpr TransferKind Kinds[] = {TransferKind::KermitReceive, TransferKind::KermitSend, TransferKind::XModemSend,
                                  TransferKind::WireReceive, TransferKind::RomLoad};

TransferEvent Event(TransferStage stage, TransferKind kind, int64_t done, int64_t total, uint32_t elapsedMs)
{
    TransferEvent event;
    event.stage = stage;
    event.kind = kind;
    event.file = "GRAPHS.CA";
    event.done = done;
    event.total = total;
    event.elapsedMs = elapsedMs;
    return event;
}

// Every event a transfer can report: each stage of each kind, progress at byte and
// Kbyte rates with and without a total, and every reason as a notice and as an end,
// with and without the system's or the calculator's words.
std::vector<TransferEvent> AllEvents()
{
    std::vector<TransferEvent> events;
    for (const TransferKind kind : Kinds) {
        events.push_back(Event(TransferStage::Started, kind, 0, 4096, 0));
        events.push_back(Event(TransferStage::Connecting, kind, 0, 0, 0));
        for (const auto& [done, total, ms] : std::initializer_list<std::tuple<int64_t, int64_t, uint32_t>>{{0, 4096, 0},
                                                                                                           {2048, 4096, 2000},
                                                                                                           {4096, 4096, 3},
                                                                                                           {40960, 81920, 2000},
                                                                                                           {81920, 81920, 100},
                                                                                                           {700, 0, 1000},
                                                                                                           {0, 0, 0},
                                                                                                           {300000, 0, 1000}})
            events.push_back(Event(TransferStage::Progress, kind, done, total, ms));
        for (int r = 0; r <= static_cast<int>(TransferReason::Refused); ++r) {
            for (const char* detail : {"", "Disk full"}) {
                for (const TransferStage stage : {TransferStage::Notice, TransferStage::Ended}) {
                    for (const TransferOutcome outcome :
                         {TransferOutcome::Completed, TransferOutcome::Cancelled, TransferOutcome::Failed}) {
                        if (stage == TransferStage::Notice && outcome != TransferOutcome::Completed) continue;
                        TransferEvent event = Event(stage, kind, 10, 20, 5);
                        event.reason = static_cast<TransferReason>(r);
                        event.detail = detail;
                        event.outcome = outcome;
                        events.push_back(event);
                    }
                }
            }
        }
    }
    return events;
}

std::string Describe(const TransferEvent& e)
{
    return "stage " + std::to_string(static_cast<int>(e.stage)) + ", kind " + std::to_string(static_cast<int>(e.kind)) +
           ", reason " + std::to_string(static_cast<int>(e.reason)) + ", outcome " + std::to_string(static_cast<int>(e.outcome)) +
           ", done " + std::to_string(e.done) + "/" + std::to_string(e.total) + ", detail '" + e.detail + "'";
}

TEST(TransferTexts, InEnglishTheyAreTheWordsCalvyxCliPrints)
{
    ASSERT_TRUE(InstallLanguage("en"));
    for (const TransferEvent& event : AllEvents()) {
        // The progress counts in the windows' one form of sizes (below).
        if (event.stage != TransferStage::Progress) {
            EXPECT_EQ(ShownTransferStatus(event).toStdString(), TransferStatusText(event)) << Describe(event);
        }
        EXPECT_EQ(ShownTransferCaption(event).toStdString(), TransferCaption(event)) << Describe(event);
        EXPECT_EQ(ShownFailureWhy(event).toStdString(), FailureWhy(event)) << Describe(event);
    }
    for (const ServerStatus& status :
         {ServerStatus{}, ServerStatus{ServerState::OpeningPort, "COM1"}, ServerStatus{ServerState::OpeningComm, "/dev/ttyUSB0"},
          ServerStatus{ServerState::Connected, "QVxT0+"}, ServerStatus{ServerState::Copying, "new os.bin"},
          ServerStatus{ServerState::ReceivingByWire, {}}})
        EXPECT_EQ(ShownServerStatus(status).toStdString(), ServerStatusText(status)) << status.subject;
}

// The progress in the form every window shows sizes in (the file list, the transfers):
// bytes below a thousand, else kB and MB with one decimal; a share only with a total.
TEST(TransferTexts, ProgressShowsSizesOneWay)
{
    ASSERT_TRUE(InstallLanguage("en"));
    struct Case {
        int64_t done, total;
        uint32_t ms;
        const char* shown;
    };
    const Case cases[] = {
        {2048, 4096, 2000, "2.0 kB of 4.1 kB\r\n(50%)\r\n1.0 kB/s"},
        {57, 9000, 1000, "57 bytes of 9.0 kB\r\n(0%)\r\n56 bytes/s"},
        {4096, 4096, 3, "4.1 kB of 4.1 kB\r\n(100%)\r\n1.0 MB/s"},
        {700, 0, 1000, "700 bytes\r\n699 bytes/s"},
        {300000, 0, 1000, "300.0 kB\r\n299.7 kB/s"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(
            ShownTransferStatus(Event(TransferStage::Progress, TransferKind::KermitSend, c.done, c.total, c.ms)).toStdString(),
            c.shown);
    EXPECT_EQ(ShownSize(0).toStdString(), "0 bytes");
    EXPECT_EQ(ShownSize(999).toStdString(), "999 bytes");
    EXPECT_EQ(ShownSize(1000).toStdString(), "1.0 kB");
    EXPECT_EQ(ShownSize(1500000).toStdString(), "1.5 MB");
}

// A name or a detail that holds a form's own marks stays as it is.
TEST(TransferTexts, NamesAndDetailsAreNotForms)
{
    ASSERT_TRUE(InstallLanguage("en"));
    TransferEvent event = Event(TransferStage::Ended, TransferKind::KermitReceive, 0, 0, 0);
    event.file = "%2 %1.CA";
    event.outcome = TransferOutcome::Failed;
    event.reason = TransferReason::CalculatorCancelled;
    event.detail = "%1 full";
    EXPECT_EQ(ShownTransferStatus(event).toStdString(), "Receiving %2 %1.CA failed: the calculator cancelled (%1 full)");
}

// What the log keeps of a transfer: its start and its end (done with bytes and time,
// cancelled, or why it failed, naming the file), never its progress.
TEST(TransferTexts, LogLines)
{
    ASSERT_TRUE(InstallLanguage("en"));
    const auto ended = [](TransferKind kind, TransferOutcome outcome, TransferReason reason, const char* detail) {
        TransferEvent event = Event(TransferStage::Ended, kind, 0, 0, 2500);
        event.outcome = outcome;
        event.reason = reason;
        event.detail = detail;
        return event;
    };
    TransferEvent doneWithBytes = ended(TransferKind::KermitReceive, TransferOutcome::Completed, TransferReason::None, "");
    doneWithBytes.done = 700;
    const struct {
        TransferEvent event;
        std::optional<QString> line;
    } cases[] = {
        {Event(TransferStage::Started, TransferKind::KermitReceive, 0, 0, 0), QString("Receiving GRAPHS.CA")},
        {Event(TransferStage::Started, TransferKind::KermitSend, 0, 4096, 0), QString("Sending GRAPHS.CA")},
        {Event(TransferStage::Connecting, TransferKind::RomLoad, 0, 0, 0), std::nullopt},
        {Event(TransferStage::Progress, TransferKind::KermitReceive, 700, 0, 1000), std::nullopt},
        {Event(TransferStage::Progress, TransferKind::KermitSend, 2048, 4096, 1000), std::nullopt},
        {doneWithBytes, QString("Receiving GRAPHS.CA: done, 700 bytes in 2.5 s")},
        {ended(TransferKind::KermitSend, TransferOutcome::Completed, TransferReason::None, ""),
         QString("Sending GRAPHS.CA: done in 2.5 s")},
        {ended(TransferKind::KermitReceive, TransferOutcome::Cancelled, TransferReason::UserCancelled, ""),
         QString("Receiving GRAPHS.CA: cancelled")},
        {ended(TransferKind::KermitReceive, TransferOutcome::Failed, TransferReason::LinkLost, ""),
         QString("Receiving GRAPHS.CA failed: link lost")},
        {ended(TransferKind::KermitSend, TransferOutcome::Failed, TransferReason::FileNotFound, ""),
         QString("Sending GRAPHS.CA failed: the file does not exist")},
        {ended(TransferKind::XModemSend, TransferOutcome::Failed, TransferReason::NoStart, ""),
         QString("GRAPHS.CA: Not sent: no start byte")},
        {ended(TransferKind::WireReceive, TransferOutcome::Failed, TransferReason::NoAnswer, "6 s"),
         QString("Receive by wire failed: no answer for 6 s")},
        // The ROM command says its own failure, with the file.
        {ended(TransferKind::RomLoad, TransferOutcome::Failed, TransferReason::LinkLost, "Input/output error"), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line.value_or("(none)").toStdString());
        EXPECT_EQ(TransferLogLine(c.event), c.line);
    }
}

TEST(TransferTexts, LinkLogLinesNameThePort)
{
    ASSERT_TRUE(InstallLanguage("en"));
    const struct {
        LinkEvent::Change change;
        std::optional<QString> line;
    } cases[] = {
        {LinkEvent::Change::Opened, QString("Link opened on COM1")},
        {LinkEvent::Change::Lost, QString("Link lost on COM1; waiting for it to come back")},
        {LinkEvent::Change::Back, QString("Link back on COM1")},
        {LinkEvent::Change::Closed, QString("Link closed on COM1")},
        {LinkEvent::Change::Unavailable, QString("COM1 cannot be opened: busy")},
        {LinkEvent::Change::HungUp, std::nullopt},
    };
    for (const auto& c : cases) {
        LinkEvent event;
        event.change = c.change;
        event.port = "COM1";
        event.detail = "busy";
        EXPECT_EQ(LinkLogLine(event), c.line);
    }
}

TEST(TransferTexts, GermanWindowsWordThemInGerman)
{
    struct Case {
        TransferEvent event;
        const char* german;
    };
    TransferEvent failed = Event(TransferStage::Ended, TransferKind::KermitSend, 0, 0, 0);
    failed.outcome = TransferOutcome::Failed;
    failed.reason = TransferReason::CalculatorCancelled;
    failed.detail = "Disk full";
    TransferEvent noStart = Event(TransferStage::Ended, TransferKind::XModemSend, 0, 0, 0);
    noStart.outcome = TransferOutcome::Failed;
    noStart.reason = TransferReason::NoStart;
    TransferEvent notReady = Event(TransferStage::Notice, TransferKind::RomLoad, 0, 0, 0);
    notReady.reason = TransferReason::NotReady;
    const Case cases[] = {
        {Event(TransferStage::Started, TransferKind::KermitReceive, 0, 0, 0), "Empfange GRAPHS.CA"},
        {Event(TransferStage::Connecting, TransferKind::RomLoad, 0, 0, 0), "Verbinde ..."},
        {Event(TransferStage::Progress, TransferKind::KermitSend, 2048, 4096, 2000), "2.0 kB von 4.1 kB\r\n(50%)\r\n1.0 kB/s"},
        {Event(TransferStage::Progress, TransferKind::KermitSend, 40960, 81920, 2000),
         "41.0 kB von 81.9 kB\r\n(50%)\r\n20.5 kB/s"},
        {Event(TransferStage::Progress, TransferKind::WireReceive, 700, 0, 1000), "700 bytes\r\n699 bytes/s"},
        {failed, "Sende GRAPHS.CA fehlgeschlagen: der Rechner hat abgebrochen (Disk full)"},
        {noStart, "Nicht gesendet: kein Startbyte"},
        {notReady, "T20, T20+, T20s, T30s ist nicht bereit"},
    };
    ASSERT_TRUE(InstallLanguage("de"));
    for (const Case& c : cases) EXPECT_EQ(ShownTransferStatus(c.event).toStdString(), c.german) << Describe(c.event);
    EXPECT_EQ(ShownServerStatus({ServerState::Connected, "QVxT0+"}).toStdString(), "Gerät verbunden über QVxT0+");
    EXPECT_EQ(ShownServerStatus({ServerState::OpeningPort, "COM1"}).toStdString(), "Öffne Anschluss: COM1");
    ASSERT_TRUE(InstallLanguage("en"));
}

} // namespace
