// SPDX-License-Identifier: GPL-3.0-or-later
// The USB link on the virtual calculator's pipe device: the reader thread's hand-off,
// chunk assembly, idle time-outs, cancel and a vanishing device.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <fcntl.h>
#include <future>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

#include "link/Link.h"
#include "link/LinkErrors.h"
#include "link/PortName.h"
#include "link/UsbPipeReader.h"
#include "link/UsbPipes.h"
#include "tests/support/LinkFixtures.h"
#include "tests/support/Watchdog.h"
#include "util/CalvyxError.h"
#include "util/Ticks.h"

namespace {

using Clock = std::chrono::steady_clock;

double CpuSeconds()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

class UsbLink : public ::testing::Test {
protected:
    // A write of up to a pipe's atomic size is in the FIFO whole when Send returns, so
    // the device reader takes it as one chunk: nothing needs to settle.
    void SendWhole(sim::SimPort& calc, const ByteString& bytes)
    {
        ASSERT_LE(bytes.size(), std::size_t{PIPE_BUF});
        ASSERT_TRUE(calc.Send(bytes));
    }
    LinkOnSim link;
};

TEST(UsbNames, TheDeviceNameAnywhereInTheNameMeansUsb)
{
    const std::pair<const char*, bool> cases[] = {
        {"QVxT0+", true}, {"QVXT0+", true}, {"QVxT0+2", true},     {"\\\\.\\QVxT0+", true},
        {"COM1", false},  {"QVXT0", false}, {"/dev/QVXT0+", true}, {"/tmp/pipes/QVxT0+", false},
    };
    for (const auto& [name, usb] : cases) EXPECT_EQ(IsUsbName(name), usb) << name;
    // What the user types, in any case, is a USB name once it is made the name to open.
    for (const char* typed : {"qvxt0+", "QvXt0+", "QVXT0+"}) EXPECT_TRUE(IsUsbPortName(typed)) << typed;
}

TEST(UsbNames, AUsbIdNameMeansTheLibUsbDeviceAndNothingElseChanges)
{
    struct Case {
        const char* typed;       // as the user gave it
        bool usb;                // IsUsbPortName
        std::optional<UsbId> id; // ParseUsbId of the upper-cased name
    };
    const Case cases[] = {
        {"usb:1e3a:0401", true, UsbId{0x1e3a, 0x0401}},
        {"USB:ABCD:EF01", true, UsbId{0xabcd, 0xef01}},
        {"Usb:aBcD:0000", true, UsbId{0xabcd, 0x0000}},
        {"usb:ffff:ffff", true, UsbId{0xffff, 0xffff}},
        // Not ids: wrong lengths, separators or digits stay what they were.
        {"usb:1e3a:040", false, std::nullopt},
        {"usb:1e3a:04011", false, std::nullopt},
        {"usb:1e3a-0401", false, std::nullopt},
        {"usb:1g3a:0401", false, std::nullopt},
        {"usb1e3a:0401", false, std::nullopt},
        {"usb:+e3a:0401", false, std::nullopt},
        {"/dev/usb:1e3a:0401", false, std::nullopt},
        // The names of before behave as before.
        {"QVxT0+", true, std::nullopt},
        {"qvxt0+", true, std::nullopt},
        {"COM1", false, std::nullopt},
        {"/dev/ttyUSB0", false, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(IsUsbPortName(c.typed), c.usb);
        EXPECT_EQ(ParseUsbId(UpperCasePortName(c.typed)), c.id);
        EXPECT_EQ(ParseUsbId(c.typed), c.id) << "the id's letter case does not matter";
        if (c.id) {
            EXPECT_EQ(ParseUsbId(UsbIdName(*c.id)), c.id);
        }
    }
    EXPECT_EQ(UsbIdName({0x1e3a, 0x0401}), "usb:1e3a:0401");
}

TEST(UsbNames, ASocketNameMeansTheDeviceInThatSocket)
{
    struct Case {
        const char* typed;
        std::optional<UsbSocket> socket;
    };
    const Case cases[] = {
        {"usb:1-2", UsbSocket{1, {2}}},
        {"USB:1-2.3", UsbSocket{1, {2, 3}}},
        {"usb:12-1.10.4", UsbSocket{12, {1, 10, 4}}},
        {"usb:1-1.2.3.4.5.6.7", UsbSocket{1, {1, 2, 3, 4, 5, 6, 7}}},
        // Not sockets.
        {"usb:1-1.2.3.4.5.6.7.1", std::nullopt}, // deeper than a hub chain goes
        {"usb:1-", std::nullopt},
        {"usb:-2", std::nullopt},
        {"usb:1-2.", std::nullopt},
        {"usb:1-2..3", std::nullopt},
        {"usb:1-02", std::nullopt},
        {"usb:0-2", std::nullopt},
        {"usb:1-256", std::nullopt},
        {"usb:1-2:1.0", std::nullopt}, // an interface, not a device
        {"usb:1", std::nullopt},
        {"usb1-2", std::nullopt},
        {"/dev/serial/by-path/pci-0000:00:14.0-usb-0:2.3:1.0-port0", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(ParseUsbSocket(UpperCasePortName(c.typed)), c.socket);
        EXPECT_EQ(IsUsbPortName(c.typed), c.socket.has_value());
        EXPECT_EQ(ParseUsbId(c.typed), std::nullopt) << "a socket is no id";
        if (c.socket) {
            EXPECT_EQ(ParseUsbSocket(UsbSocketName(*c.socket)), c.socket);
        }
    }
    EXPECT_EQ(UsbSocketName({1, {2, 3}}), "usb:1-2.3");
    EXPECT_EQ(ParseUsbSocket("usb:1e3a:0401"), std::nullopt) << "an id is no socket";
}

TEST_F(UsbLink, OpenUsesTheUsbRecordAndProfileWhateverTheBaud)
{
    link.CreateUsb();
    link.Program().Open("QVxT0+", 115200);
    EXPECT_EQ(link.Program().Kind(), LinkKind::Usb);
    EXPECT_EQ(link.Program().Timing().ReceiveSettleDelay, UsbProfile.ReceiveSettleDelay);
    EXPECT_EQ(link.Program().Timing().CancelSettleDelay, UsbProfile.CancelSettleDelay);
    EXPECT_TRUE(link.Program().ReaderRunning()) << "the drain at open starts the reader";
    EXPECT_EQ(link.Program().BufferedBytes(), 0u);
}

TEST_F(UsbLink, LeftoverBytesOfAChunkServeTheNextRead)
{
    auto& calc = link.OpenUsb();
    ASSERT_NO_FATAL_FAILURE(SendWhole(calc, "abc"));
    ByteString one(1, '\0');
    EXPECT_EQ(link.Program().Read(one, 1000), 1);
    EXPECT_EQ(one, "a");
    EXPECT_EQ(link.Program().BufferedBytes(), 2u);

    // Bytes the calculator sends now must not overtake the two left in the buffer.
    ASSERT_TRUE(calc.Send("XYZ"));
    ByteString two(2, '\0');
    EXPECT_EQ(link.Program().Read(two, 1000), 2);
    EXPECT_EQ(two, "bc");
    ByteString rest(3, '\0');
    EXPECT_EQ(link.Program().Read(rest, 1000), 3);
    EXPECT_EQ(rest, "XYZ");
}

TEST_F(UsbLink, ALargeReadAssemblesSeveralChunks)
{
    auto& calc = link.OpenUsb();
    ByteString data;
    for (int i = 0; i < 100; ++i) data.push_back(static_cast<char>(i * 7));
    auto sender = std::async(std::launch::async, [&] {
        const bool first = calc.Send(data.substr(0, 64));
        SleepMs(150); // the calculator pauses between the two chunks: the case, not an order
        return first && calc.Send(data.substr(64));
    });
    ByteString buffer(100, '\0');
    EXPECT_EQ(link.Program().Read(buffer, 1000), 100);
    EXPECT_EQ(buffer, data);
    EXPECT_TRUE(sender.get());
}

TEST_F(UsbLink, ASilentReadGivesUpAfterItsIdleTime)
{
    struct Case {
        int timeoutMs;
        long atLeastMs;
        long belowMs;
    };
    // Idle time is measured in pumps of 100 ms; a fresh idle clock costs one pump more.
    const Case cases[] = {{1000, 900, 1600}, {10, 90, 450}};
    link.OpenUsb();
    for (const auto& c : cases) {
        link.Program().RestartIdleClock();
        ByteString buffer(8, 'x');
        const auto start = Clock::now();
        EXPECT_EQ(link.Program().Read(buffer, c.timeoutMs), 0);
        const long ms = MsSince(start);
        EXPECT_GE(ms, c.atLeastMs) << c.timeoutMs;
        EXPECT_LT(ms, c.belowMs) << c.timeoutMs;
        EXPECT_EQ(buffer, ByteString(8, '\0'));
    }
}

TEST_F(UsbLink, ReadCancelEndsAWaitingReadWithinAboutOnePump)
{
    auto& calc = link.OpenUsb();
    ASSERT_NO_FATAL_FAILURE(SendWhole(calc, "ab"));
    // Nothing tells another thread that the read has begun, and a cancel from before the
    // read is dropped when it begins. So the stopper cancels every 50 ms until the read
    // has returned: the first cancel the read sees must end it within about one pump,
    // long before its idle limit.
    Watchdog readEnded;
    std::atomic<long> firstCancelAt{-1};
    const auto start = Clock::now();
    std::thread stopper([&] {
        while (!readEnded.WaitFor(std::chrono::milliseconds(50))) {
            long none = -1;
            firstCancelAt.compare_exchange_strong(none, MsSince(start));
            link.Program().CancelRead();
        }
    });
    ByteString buffer(10, '\0');
    // A 1000 ms idle limit would not end it before 1000 ms.
    const int got = link.Program().Read(buffer, 1000);
    const long endedAt = MsSince(start);
    readEnded.Done();
    stopper.join();
    EXPECT_EQ(got, 2) << "the read keeps what it had when cancelled";
    EXPECT_EQ(buffer, ByteString("ab\0\0\0\0\0\0\0\0", 10));
    ASSERT_GE(firstCancelAt, 0) << "the read ended before any cancel";
    EXPECT_LT(endedAt, 700) << "the read ran towards its idle limit: the cancels did not end it";
    EXPECT_LT(endedAt - firstCancelAt, 250 + 50) << "cancel took more than about one pump";
    // The flag is a one-shot: the next read clears it and waits normally.
    ByteString next(1, '\0');
    const auto again = Clock::now();
    EXPECT_EQ(link.Program().Read(next, 10), 0);
    EXPECT_GE(MsSince(again), 90);
}

TEST_F(UsbLink, AChunkArrivingAfterThePumpGaveUpIsNotLost)
{
    auto& calc = link.OpenUsb();
    ByteString buffer(4, '\0');
    // The read gives up at its idle limit and leaves a pipe read outstanding: the chunk
    // sent once it has returned comes after the pump gave up.
    EXPECT_EQ(link.Program().Read(buffer, 10), 0);
    ASSERT_TRUE(calc.Send("late"));
    // Nothing outside the link marks the device reader taking the chunk; the pause lets
    // it do so with no read waiting. A read that began sooner must get it all the same.
    SleepMs(50);
    EXPECT_EQ(link.Program().Read(buffer, 1000), 4);
    EXPECT_EQ(buffer, "late");
}

TEST_F(UsbLink, ManyChunksArriveInOrderWithNothingLostOrDoubled)
{
    auto& calc = link.OpenUsb();
    ByteString data;
    for (int i = 0; i < 5000; ++i) data.push_back(static_cast<char>((i * 31 + i / 256) & 0xFF));
    auto sender = std::async(std::launch::async, [&] {
        bool ok = true;
        for (std::size_t at = 0; at < data.size() && ok; at += 700) {
            ok = calc.Send(data.substr(at, 700));
            SleepMs(at % 1400 ? 0 : 120); // some chunks come after a pump gave up
        }
        return ok;
    });
    ByteString all;
    for (int reads = 0; all.size() < data.size() && reads < 200; ++reads) {
        ByteString part(37, '\0');
        all += part.substr(0, static_cast<std::size_t>(link.Program().Read(part, 1000)));
    }
    EXPECT_TRUE(sender.get());
    EXPECT_EQ(all.size(), data.size());
    EXPECT_TRUE(all == data) << "first difference at " << std::mismatch(all.begin(), all.end(), data.begin()).first - all.begin();
}

TEST_F(UsbLink, ClearInputNeedsFourQuietRoundsAndEmptiesTheBuffer)
{
    auto& calc = link.OpenUsb();
    // A silent line: four quiet rounds of at least one 100 ms pump each.
    auto start = Clock::now();
    link.Program().ClearInput();
    long ms = MsSince(start);
    EXPECT_GE(ms, 4 * 90);
    EXPECT_LT(ms, 1500);
    EXPECT_EQ(link.Program().BufferedBytes(), 0u);

    // Pending text, then zero bytes: the text is thrown away, the zeros are quiet.
    ASSERT_NO_FATAL_FAILURE(SendWhole(calc, ByteString(500, 'q')));
    ASSERT_TRUE(calc.Send(ByteString(6, '\0')));
    link.Program().ClearInput();
    EXPECT_EQ(link.Program().BufferedBytes(), 0u);
    ByteString buffer(1, '\0');
    EXPECT_EQ(link.Program().Read(buffer, 10), 0) << "input left after ClearInput";

    // Text every 60 ms for 900 ms keeps it draining until the line is quiet.
    auto burst = std::async(std::launch::async, [&] {
        for (int i = 0; i < 15; ++i) {
            calc.Send("noise!");
            SleepMs(60); // the calculator's pace: the case, not an order
        }
    });
    start = Clock::now();
    link.Program().ClearInput();
    ms = MsSince(start);
    burst.get();
    EXPECT_GE(ms, 840 + 4 * 90);
    EXPECT_LT(ms, 900 + 4 * 200 + 800);
    EXPECT_EQ(link.Program().Read(buffer, 10), 0);
}

TEST_F(UsbLink, WritesReachTheCalculator)
{
    auto& calc = link.OpenUsb();
    ByteString data(70000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i % 251);
    // Larger than the FIFO: the write has to wait for the calculator to read.
    auto reader = std::async(std::launch::async, [&] { return calc.ReceiveExactly(data.size(), 10000); });
    link.Program().Write(data);
    EXPECT_TRUE(reader.get() == data);
}

TEST_F(UsbLink, UnpluggingMidReadReturnsZeroWithoutSpinning)
{
    auto& calc = link.OpenUsb();
    // The program's byte tells the calculator that it is at its read; a read that
    // began after the unplug must end the same way, so the order only makes the case.
    std::thread unplug([&] {
        if (calc.ReceiveExactly(1, 10000) != "r") ADD_FAILURE() << "the program's byte did not come";
        calc.Unplug();
    });
    link.Program().Write("r");
    ByteString buffer(10, 'x');
    const double cpu0 = CpuSeconds();
    const auto start = Clock::now();
    EXPECT_EQ(link.Program().Read(buffer, 1000), 0);
    EXPECT_EQ(link.Program().Read(buffer, 1000), 0);
    const long ms = MsSince(start);
    const double cpu = CpuSeconds() - cpu0;
    unplug.join();
    EXPECT_LT(ms, 3500);
    EXPECT_LT(cpu, 0.2 * static_cast<double>(ms) / 1000.0) << "the link used " << cpu << " s of CPU in " << ms << " ms: spinning";
    EXPECT_EQ(buffer, ByteString(10, '\0'));
    EXPECT_THROW(link.Program().Write("gone"), CalvyxError);
    link.Program().Close();
    EXPECT_FALSE(link.Program().ReaderRunning());
}

TEST_F(UsbLink, ReopeningStartsANewReaderOnTheNewPipe)
{
    auto& calc = link.OpenUsb();
    ASSERT_TRUE(link.Program().ReaderRunning());
    link.Program().Close();
    EXPECT_FALSE(link.Program().ReaderRunning());
    EXPECT_FALSE(link.Program().IsOpen());
    calc.Unplug();
    calc.Plug(); // new FIFOs: a reader left on the old pipe would never see the bytes
    link.Program().Open(calc.ProgramPortName(), LinkBaud);
    EXPECT_TRUE(link.Program().ReaderRunning());
    ASSERT_TRUE(calc.Send("fresh"));
    ByteString buffer(5, '\0');
    EXPECT_EQ(link.Program().Read(buffer, 1000), 5);
    EXPECT_EQ(buffer, "fresh");
    link.Program().Write("back");
    EXPECT_EQ(calc.ReceiveExactly(4, 2000), "back");
}

int OpenDescriptors()
{
    int n = 0;
    for (int fd = 0; fd < 1024; ++fd) n += ::fcntl(fd, F_GETFD) != -1;
    return n;
}

TEST_F(UsbLink, OpeningOverAnOpenLinkClosesItFirst)
{
    auto& calc = link.OpenUsb();
    const int before = OpenDescriptors();
    link.Program().Open(calc.ProgramPortName(), LinkBaud);
    link.Program().Open(calc.ProgramPortName(), LinkBaud);
    EXPECT_EQ(OpenDescriptors(), before) << "the old pipes or the old reader's wake-up leaked";
    ASSERT_TRUE(calc.Send("one"));
    ByteString buffer(3, '\0');
    EXPECT_EQ(link.Program().Read(buffer, 1000), 3);
    EXPECT_EQ(buffer, "one");
}

TEST_F(UsbLink, AMissingDeviceRaisesAndCloseLinkCleansUp)
{
    EXPECT_FALSE(UsbDevicePresent(UsbDeviceNameUpper));
    try {
        link.Program().Open(UsbDeviceNameUpper, LinkBaud);
        ADD_FAILURE() << "a missing pipe device opened";
    } catch (const LinkError& e) {
        EXPECT_EQ(e.Kind(), LinkErrorKind::NotFound) << LinkErrorKindName(e.Kind()) << " " << e.OsDetail();
        EXPECT_EQ(e.OsError(), ENOENT);
        EXPECT_EQ(e.Reason(), "") << "nothing the user could do but plug the calculator in";
    }
    // The read pipe does not exist either: nothing, or one handle, may be left.
    link.Program().Close();
    EXPECT_FALSE(link.Program().IsOpen());

    auto& calc = link.CreateUsb();
    EXPECT_TRUE(UsbDevicePresent(UsbDeviceName));
    EXPECT_TRUE(UsbDevicePresent(UsbDeviceNameUpper)) << "the folder is found whatever the case";
    calc.Unplug();
    EXPECT_FALSE(UsbDevicePresent(UsbDeviceNameUpper));
}

TEST_F(UsbLink, AStaleDeviceFolderWithoutItsCalculatorIsAbsent)
{
    auto& calc = link.CreateUsb();
    // The calculator's ends go away but the FIFOs stay: no reader behind PIPE1.
    const std::string folder = link.Root().Path() + "/" + UsbDeviceName;
    std::string pipe0 = folder + "/PIPE0";
    calc.Hangup();
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::mkfifo(pipe0.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((folder + "/PIPE1").c_str(), 0600), 0);
    EXPECT_FALSE(UsbDevicePresent(UsbDeviceNameUpper));
    const auto start = Clock::now();
    EXPECT_THROW(link.Program().Open(UsbDeviceNameUpper, LinkBaud), CalvyxError);
    EXPECT_LT(MsSince(start), 1000) << "opening a pipe without its far end must not wait";
    EXPECT_FALSE(link.Program().IsOpen()) << "the read pipe that did open is closed again";
}

TEST_F(UsbLink, CloseLinkStopsAReaderBlockedOnThePipe)
{
    link.OpenUsb();
    ByteString buffer(1, '\0');
    link.Program().Read(buffer, 10); // the reader now sits in its pipe read
    const auto start = Clock::now();
    link.Program().Close();
    EXPECT_LT(MsSince(start), 500);
    EXPECT_FALSE(link.Program().ReaderRunning());
    link.Program().Close(); // a second close does nothing
    EXPECT_FALSE(link.Program().IsOpen());
}

} // namespace
