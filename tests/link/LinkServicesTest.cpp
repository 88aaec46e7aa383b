// The small services of the link: progress texts, the error operations, the tracked
// file slots and the trace.
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QTemporaryDir>

#include "link/Link.h"
#include "link/LinkErrors.h"
#include "link/Progress.h"
#include "link/Trace.h"
#include "util/CalvyxError.h"
#include "util/HostInterfaces.h"
#include "util/Ticks.h"

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
    std::vector<StatusReport> calls;
    ReportReceived(512, Now(), [&](const StatusReport& report) { calls.push_back(report); });
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, StatusKind::Progress);
    EXPECT_EQ(calls[0].done, 512);
    EXPECT_EQ(calls[0].total, 0);
}

TEST(ReportProgress, HandsAProgressReportToTheSinkAndNothingWithoutATotal)
{
    std::vector<StatusReport> calls;
    const StatusSink sink = [&](const StatusReport& report) { calls.push_back(report); };

    ReportProgress(10, 0, Now(), sink);
    ReportProgress(10, -1, Now(), sink);
    EXPECT_TRUE(calls.empty());

    ReportProgress(512, 1024, Now() - 1000, sink);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].kind, StatusKind::Progress);
    EXPECT_EQ(calls[0].done, 512);
    EXPECT_EQ(calls[0].total, 1024);
    // The rate comes from the ticks since the start: about 512 bytes in one second.
    EXPECT_EQ(calls[0].text.substr(0, 20), "512/1024 bytes\r\n(50%");
    EXPECT_NE(calls[0].text.find(" bytes/s"), std::string::npos);
}

TEST(ErrorOperations, RaiseErrorWrapsTheDetail)
{
    try {
        RaiseError("The connectivity kit is unable to open communications to: COM1");
        FAIL() << "RaiseError returned";
    } catch (const CalvyxError& e) {
        EXPECT_STREQ(e.what(), "Error(The connectivity kit is unable to open communications to: COM1)");
    }
}

// What the link raises on a closed link: a LinkError the old handlers still catch as a
// CalvyxError; a block write words the failure the way the ROM load shows it.
TEST(ErrorOperations, AClosedLinkRaisesLinkErrorsOfKindClosed)
{
    Link link;
    ByteString buffer(4, 'x');
    const struct {
        const char* what;
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {"Read", [&] { link.Read(buffer, 10); }, ""},
        {"Write", [&] { link.Write("x"); }, ""},
        {"WriteBlock", [&] { link.WriteBlock("x", 1, 1000); }, "Cannot write to the calculator: Bad file descriptor"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.call();
            ADD_FAILURE() << "no error";
        } catch (const CalvyxError& e) {
            const auto* linkError = dynamic_cast<const LinkError*>(&e);
            ASSERT_NE(linkError, nullptr) << "not a LinkError: " << e.what();
            EXPECT_EQ(linkError->Kind(), LinkErrorKind::Closed) << LinkErrorKindName(linkError->Kind());
            EXPECT_EQ(linkError->OsError(), EBADF);
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(Trace, DiscardsWithoutASinkAndFormatsFrames)
{
    Trace("nobody hears this");
    std::vector<std::string> lines;
    SetTraceSink([&](const std::string& line) { lines.push_back(line); });
    TraceFrame("Sent", ByteString("\x01\x23\xFF", 3));
    Delay(1);
    SetTraceSink(nullptr);
    Trace("nor this");
    EXPECT_EQ(lines, (std::vector<std::string>{"Sent 01 23 FF", "Delay time = 1"}));
}

} // namespace
