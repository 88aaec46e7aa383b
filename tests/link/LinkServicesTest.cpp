// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "link/Trace.h"
#include "util/CalvyxError.h"
#include "util/HostInterfaces.h"
#include "util/Ticks.h"

namespace {

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
    SetTraceSink(nullptr);
    Trace("nor this");
    EXPECT_EQ(lines, (std::vector<std::string>{"Sent 01 23 FF"}));
}

} // namespace
