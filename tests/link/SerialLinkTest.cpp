// SPDX-License-Identifier: GPL-3.0-or-later
// The serial link on a pseudo-terminal, the virtual calculator holding the master.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <string>

#include <QFile>
#include <QTemporaryDir>

#include "link/Link.h"
#include "link/LinkErrors.h"
#include "link/PortName.h"
#include "tests/support/LinkFixtures.h"
#include "util/CalvyxError.h"
#include "util/Ticks.h"
#include "util/Utils.h"

namespace {

using Ms = std::chrono::milliseconds;

class SerialLink : public ::testing::Test {
protected:
    LinkOnSim link;
};

TEST(SerialNames, ComNamesMapToTtySAndOthersStayAsGiven)
{
    const std::pair<const char*, const char*> cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"COM3", "/dev/ttyS2"},
        {"COM12", "/dev/ttyS11"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"/dev/pts/7", "/dev/pts/7"},
        {"COMX", "COMX"},
        {"COM0", "COM0"},
        {"COM257", "COM257"},
        {"COM+1", "COM+1"},
        {"COM1 ", "COM1 "},
        {"COM99999999999999999999999", "COM99999999999999999999999"},
    };
    for (const auto& [name, path] : cases) EXPECT_EQ(SerialDevicePath(name), path) << name;
}

// The one rule by which the main window, the transfer server and calvyx-cli name the
// port they open.
TEST(PortNames, DeviceNamesInUpperCasePathsAsTyped)
{
    const std::pair<const char*, const char*> cases[] = {
        // The pipe device keeps its one spelling, whatever was typed: it is shown so.
        {"qvxt0+", "QVxT0+"},
        {"QVXT0+", "QVxT0+"},
        {"QVxT0+", "QVxT0+"},
        {"qvxt0+2", "QVxT0+2"},
        {"com2", "COM2"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"/tmp/pipes/QVxT0+", "/tmp/pipes/QVxT0+"},
        {"", ""},
    };
    for (const auto& [name, opened] : cases) EXPECT_EQ(UpperCasePortName(name), opened) << name;
}

// Whether a name leads to a pseudo-terminal (never reopened after it hung up): by the
// device it leads to, through links too, not by how the path looks.
TEST(PortNames, PseudoTerminalsAreToldByTheirDeviceNotTheirPath)
{
    QTemporaryDir dir;
    auto pty = sim::CreatePtyPort();
    const std::string slave = pty->ProgramPortName();
    const std::string linked = dir.filePath("pc").toStdString();
    const std::string plain = dir.filePath("plain").toStdString();
    ASSERT_TRUE(QFile::link(QString::fromStdString(slave), QString::fromStdString(linked)));
    WriteStringToFile("x", plain);
    const std::pair<std::string, bool> cases[] = {
        {slave, true},        // /dev/pts/N
        {linked, true},       // a link to it, as socat makes
        {"/dev/null", false}, // a character device of another kind
        {plain, false},       // no device at all
        {dir.filePath("none").toStdString(), false},
        {"QVxT0+", false}, // the USB link
        {"usb:1e3a:0401", false},
    };
    for (const auto& [name, pseudo] : cases) EXPECT_EQ(IsPseudoTerminal(name), pseudo) << name;
    pty->Hangup();
    EXPECT_FALSE(IsPseudoTerminal(slave)) << "the slave of a closed master is gone";
}

// A serial adapter named by the socket it is plugged into is a link under
// /dev/serial/by-path, whose name holds colons and dots: it stays a serial line, and
// its presence is the presence of the device it leads to.
TEST(PortNames, ALinkByPathIsTheSerialLineItLeadsTo)
{
    QTemporaryDir dir;
    auto pty = sim::CreatePtyPort();
    const std::string byPath = dir.filePath("pci-0000:00:14.0-usb-0:2.3:1.0-port0").toStdString();
    ASSERT_TRUE(QFile::link(QString::fromStdString(pty->ProgramPortName()), QString::fromStdString(byPath)));
    EXPECT_FALSE(IsUsbPortName(byPath));
    EXPECT_EQ(UpperCasePortName(byPath), byPath);
    EXPECT_TRUE(PortPresent(byPath));
    EXPECT_TRUE(IsPseudoTerminal(byPath));
    Link link;
    ASSERT_NO_THROW(link.Open(byPath, LinkBaud));
    EXPECT_EQ(link.Kind(), LinkKind::Serial);
    link.Close();
    pty->Hangup();
    EXPECT_FALSE(PortPresent(byPath)) << "the link is left dangling once the device goes";
    EXPECT_FALSE(IsPseudoTerminal(byPath));
}

TEST(TimingProfiles, ChosenByKindAndBaud)
{
    struct Case {
        LinkKind kind;
        int baud;
        TimingProfileValues expected;
    };
    const Case cases[] = {
        {LinkKind::Serial, 9600, SerialSlowProfile}, {LinkKind::Serial, 4800, SerialSlowProfile},
        {LinkKind::Serial, 9601, SerialFastProfile}, {LinkKind::Usb, 9600, UsbProfile},
        {LinkKind::Usb, 115200, UsbProfile},
    };
    for (const auto& c : cases) {
        const auto p = SelectTimingProfile(c.kind, c.baud);
        EXPECT_EQ(p.ReceiveSettleDelay, c.expected.ReceiveSettleDelay) << c.baud;
        EXPECT_EQ(p.CancelSettleDelay, c.expected.CancelSettleDelay) << c.baud;
    }
}

TEST_F(SerialLink, OpenSetsTheRecordAndTheProfile)
{
    link.OpenPty(19200);
    EXPECT_TRUE(link.Program().IsOpen());
    EXPECT_EQ(link.Program().Kind(), LinkKind::Serial);
    EXPECT_EQ(link.Program().Timing().CancelSettleDelay, SerialFastProfile.CancelSettleDelay);
    link.Program().Close();
    EXPECT_FALSE(link.Program().IsOpen());
    link.OpenPty(9600);
    EXPECT_EQ(link.Program().Timing().CancelSettleDelay, SerialSlowProfile.CancelSettleDelay);
}

// Every read keeps the limit it is given: the time the bytes take on the line (1 ms a
// byte) and then the caller's limit; ReadWithin keeps its limit for the whole read.
// ClearInput, which drains with a short limit of its own, leaves nothing behind.
TEST_F(SerialLink, ASilentReadEndsAtItsOwnLimit)
{
    struct Case {
        const char* name;
        std::size_t size;
        int limitMs;
        bool within; // ReadWithin
        long atLeastMs;
        long belowMs;
    };
    const Case cases[] = {
        {"6 bytes, 100 ms (the capture's limit)", 6, 100, false, 100, 400},
        {"1 byte, 3000 ms (a reply the transfers wait for)", 1, 3000, false, 3000, 3600},
        {"1 byte, 500 ms", 1, 500, false, 500, 900},
        {"1000 bytes within 200 ms", 1000, 200, true, 200, 600},
    };
    link.OpenPty();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        link.Program().ClearInput();
        ByteString buffer(c.size, 'x');
        const auto start = std::chrono::steady_clock::now();
        const int got = c.within ? link.Program().ReadWithin(buffer, c.limitMs) : link.Program().Read(buffer, c.limitMs);
        const long ms = MsSince(start);
        EXPECT_EQ(got, 0);
        EXPECT_GE(ms, c.atLeastMs);
        EXPECT_LT(ms, c.belowMs);
        EXPECT_EQ(buffer, ByteString(c.size, '\0'));
    }
}

TEST_F(SerialLink, AShortReadReturnsWhatCameAndZeroesTheRest)
{
    auto& calc = link.OpenPty();
    ASSERT_TRUE(calc.Send("abc"));
    ByteString buffer(6, 'x');
    EXPECT_EQ(link.Program().Read(buffer, 100), 3);
    EXPECT_EQ(buffer, ByteString("abc\0\0\0", 6));
}

TEST_F(SerialLink, AReadReturnsAsSoonAsNBytesAreIn)
{
    auto& calc = link.OpenPty();
    auto sender = std::async(std::launch::async, [&] {
        SleepMs(200);
        return calc.Send("hello");
    });
    ByteString buffer(5, '\0');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(link.Program().Read(buffer, 3000), 5);
    EXPECT_LT(MsSince(start), 2000) << "the read waited for its limit instead of the bytes";
    EXPECT_EQ(buffer, "hello");
    EXPECT_TRUE(sender.get());
    EXPECT_LT(TicksSince(link.Program().LastReceiveTime()), 1000u);
}

TEST_F(SerialLink, WritesReachTheCalculator)
{
    auto& calc = link.OpenPty();
    const ByteString data = ByteString("\x00\x01\xFF\r\n\x11\x13", 7) + ByteString(3000, 'z');
    link.Program().Write(data);
    EXPECT_EQ(calc.ReceiveExactly(data.size(), 5000), data);
}

// ClearInput purges, then reads rounds of 6 bytes with a 100 ms limit until two
// rounds in a row brought nothing but zero bytes.
TEST_F(SerialLink, ClearInputEndsTwoQuietRoundsAfterTheBurst)
{
    struct Case {
        const char* name;
        char byte;
        bool waitsForTheEnd;
    };
    const Case cases[] = {{"text keeps it draining", 'A', true}, {"zero bytes count as quiet", '\0', false}};
    for (const auto& c : cases) {
        auto& calc = link.OpenPty();
        // 12 bytes every 50 ms for 600 ms: no 106 ms round is ever empty.
        auto burst = std::async(std::launch::async, [&] {
            for (int i = 0; i < 12; ++i) {
                calc.Send(ByteString(12, c.byte));
                SleepMs(50);
            }
        });
        const auto start = std::chrono::steady_clock::now();
        link.Program().ClearInput();
        const long ms = MsSince(start);
        burst.get();
        if (c.waitsForTheEnd) {
            // The last bytes leave at about 550 ms; two quiet rounds of 106 ms follow.
            EXPECT_GE(ms, 550 + 2 * 100 - 50) << c.name;
            EXPECT_LT(ms, 600 + 2 * 106 + 600) << c.name;
        } else {
            EXPECT_LT(ms, 500) << c.name << ": waited for the zero bytes to stop";
        }
        link.Program().Close();
    }
}

// Opening the line again drains what the calculator sent, never what the PC said: the
// Kermit server's last word before it made way ("User cancel") must reach the calculator
// however soon the line is opened again. A pseudo-terminal still holds such bytes for
// the far end when the next open comes; clearing the output there threw them away.
TEST_F(SerialLink, AnOpenDrainsTheCalculatorsBytesButNotWhatThePcSaid)
{
    auto& calc = link.OpenPty();
    Link& program = link.Program();
    ByteString said;
    for (int round = 0; round < 20; ++round) {
        const ByteString word = "E" + std::to_string(round) + "\r";
        ASSERT_TRUE(calc.Send("stale " + std::to_string(round)));
        program.Write(word);
        said += word;
        program.Close();
        program.Open(calc.ProgramPortName(), LinkBaud);
    }
    EXPECT_EQ(calc.ReceiveExactly(said.size(), 5000), said);
    ByteString buffer(6, 'x');
    EXPECT_EQ(program.Read(buffer, 100), 0) << "the open left the calculator's stale bytes: " << buffer;
}

// An open that owes its drain leaves it to the engine that reads first (a class opens
// its lines at once and each server drains its own): a drain stopped before it ended is
// still owed, a whole one pays it, and nothing owed costs no second drain.
TEST_F(SerialLink, AnOpenThatOwesItsDrainLeavesItToTheFirstReader)
{
    auto& calc = link.CreatePty();
    Link& program = link.Program();
    program.OpenOwingDrain(calc.ProgramPortName(), LinkBaud);
    EXPECT_TRUE(program.InputOwed());
    ASSERT_TRUE(calc.Send("stale bytes"));
    program.ClearOwedInput([] { return true; });
    EXPECT_TRUE(program.InputOwed()) << "a stopped drain counted as done";
    program.ClearOwedInput();
    EXPECT_FALSE(program.InputOwed());
    ByteString buffer(6, 'x');
    EXPECT_EQ(program.Read(buffer, 100), 0) << "the drain left bytes behind";

    // Two quiet rounds of 100 ms would follow if it drained again.
    const auto start = std::chrono::steady_clock::now();
    program.ClearOwedInput();
    EXPECT_LT(MsSince(start), 100);

    // A plain open drains at once; a close forgets what an open owed.
    program.Open(calc.ProgramPortName(), LinkBaud);
    EXPECT_FALSE(program.InputOwed());
    program.OpenOwingDrain(calc.ProgramPortName(), LinkBaud);
    program.Close();
    EXPECT_FALSE(program.InputOwed());
}

// The far end of the line goes (a pty's master closes): a LinkError of kind Lost with
// the system's errno, and the link stays open until its owner closes it.
TEST_F(SerialLink, AHungUpLineIsALostLinkAndTheLinkStaysOpen)
{
    auto& calc = link.OpenPty();
    auto hangup = std::async(std::launch::async, [&] {
        SleepMs(200);
        calc.Hangup();
    });
    ByteString buffer(10, '\0');
    const auto start = std::chrono::steady_clock::now();
    try {
        link.Program().Read(buffer, 3000);
        ADD_FAILURE() << "the read of a hung-up line returned";
    } catch (const LinkError& e) {
        EXPECT_EQ(e.Kind(), LinkErrorKind::Lost) << LinkErrorKindName(e.Kind());
        EXPECT_EQ(e.OsError(), EIO);
        EXPECT_EQ(e.OsDetail(), std::strerror(EIO));
        EXPECT_STREQ(e.what(), "") << "the transfers word a lost link themselves";
    }
    EXPECT_LT(MsSince(start), 2000) << "the read waited out its limit on a dead line";
    hangup.get();
    EXPECT_TRUE(link.Program().IsOpen());
    EXPECT_FALSE(link.Program().StillAttached()) << "the poll would not notice the hang-up";
    EXPECT_THROW(link.Program().Write("x"), LinkError);
    link.Program().Close();
    EXPECT_FALSE(link.Program().IsOpen());
}

// A port that cannot be opened: the kind and the system's errno say why, no reason in
// words (the user gets the plain "unable to open communications"), nothing stays open.
TEST_F(SerialLink, OpeningAPortThatFailsRaisesItsKindAndLeavesNothingOpen)
{
    struct Case {
        const char* name;
        LinkErrorKind kind;
        int osError;
    } const cases[] = {
        {"/dev/calvyx-no-such-port", LinkErrorKind::NotFound, ENOENT},
        {"COM200", LinkErrorKind::NotFound, ENOENT},
        {"/dev/null", LinkErrorKind::OpenFailed, ENOTTY}, // no terminal: it cannot be configured
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            link.Program().Open(c.name, 9600);
            ADD_FAILURE() << "it opened";
        } catch (const LinkError& e) {
            EXPECT_EQ(e.Kind(), c.kind) << LinkErrorKindName(e.Kind());
            EXPECT_EQ(e.OsError(), c.osError) << e.OsDetail();
            EXPECT_EQ(e.Reason(), "");
        }
        EXPECT_FALSE(link.Program().IsOpen()) << "the handle of a port that could not be opened stayed in the record";
    }
}

TEST_F(SerialLink, ClosingAClosedLinkDoesNothing)
{
    link.Program().Close();
    link.Program().Close();
    EXPECT_FALSE(link.Program().IsOpen());
    EXPECT_THROW(link.Program().Write("x"), CalvyxError);
}

} // namespace
