// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual calculator's port: pacing at the line rate, seeded faults, the receive
// helpers and the USB device's plug and unplug.
#include <gtest/gtest.h>

#include <bitset>
#include <chrono>
#include <sys/stat.h>

#include "link/PortName.h"
#include "link/UsbPipes.h"
#include "tests/support/LinkFixtures.h"
#include "tools/sim/KermitRole.h"
#include "tools/sim/PortOptions.h"
#include "util/Ticks.h"

namespace {

using Clock = std::chrono::steady_clock;

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

// What the program receives of one Send, read through the link with a 100 ms limit after
// the bytes' own time on the line.
ByteString Delivered(Link& program, sim::SimPort& calc, const ByteString& sent)
{
    EXPECT_TRUE(calc.Send(sent));
    ByteString all;
    for (;;) {
        ByteString part(256, '\0');
        const int n = program.Read(part, 100);
        if (n == 0) return all;
        all += part.substr(0, static_cast<std::size_t>(n));
    }
}

class SimPortTest : public ::testing::Test {
protected:
    LinkOnSim link;
};

TEST_F(SimPortTest, ThrottledSendKeepsTheLineRate)
{
    auto& calc = link.OpenPty();
    calc.SetThrottle(true);
    const ByteString data(192, 'r'); // 200 ms at 960 bytes/s
    auto start = Clock::now();
    ASSERT_TRUE(calc.Send(data));
    const long paced = MsSince(start);
    EXPECT_GE(paced, 190);
    EXPECT_LT(paced, 1000);
    ByteString got(192, '\0');
    EXPECT_EQ(link.Program().Read(got, 1000), 192);
    EXPECT_EQ(got, data);

    calc.SetThrottle(false);
    start = Clock::now();
    ASSERT_TRUE(calc.Send(data));
    EXPECT_LT(MsSince(start), 100);
}

TEST_F(SimPortTest, FaultsFollowTheirSeed)
{
    auto& calc = link.OpenPty();
    ByteString data;
    for (int i = 0; i < 200; ++i) data.push_back(static_cast<char>(i));

    calc.SetFaults({.dropByte = 1.0});
    EXPECT_EQ(Delivered(link.Program(), calc, data), "");

    calc.SetFaults({.corruptByte = 1.0, .seed = 7});
    const ByteString corrupt = Delivered(link.Program(), calc, data);
    ASSERT_EQ(corrupt.size(), data.size());
    for (std::size_t i = 0; i < data.size(); ++i)
        EXPECT_EQ(std::bitset<8>(static_cast<unsigned char>(corrupt[i] ^ data[i])).count(), 1u) << "byte " << i;

    const sim::FaultPlan some{.dropByte = 0.2, .corruptByte = 0.1, .seed = 42};
    calc.SetFaults(some);
    const ByteString first = Delivered(link.Program(), calc, data);
    calc.SetFaults(some);
    EXPECT_EQ(Delivered(link.Program(), calc, data), first) << "the same seed must give the same faults";
    EXPECT_LT(first.size(), data.size());
    EXPECT_GT(first.size(), data.size() / 2);

    calc.SetFaults({});
    EXPECT_EQ(Delivered(link.Program(), calc, data), data);
}

TEST_F(SimPortTest, ReceiveHelpersKeepWhatTheyDidNotReturn)
{
    auto& calc = link.OpenUsb();
    link.Program().Write("abcXYZdef");
    EXPECT_EQ(calc.ReceiveUntil("XYZ", 2000), "abcXYZ");
    EXPECT_EQ(calc.ReceiveExactly(2, 2000), "de");
    EXPECT_EQ(calc.Receive(10, 2000), "f");

    link.Program().Write("partial");
    const auto start = Clock::now();
    EXPECT_EQ(calc.ReceiveUntil("never", 300), "partial") << "a failed wait returns what it saw";
    EXPECT_GE(MsSince(start), 290);
    EXPECT_EQ(calc.Receive(10, 50), "");

    // The device's Write returns once its bytes are in the pipe, so they are there for
    // Drain to find: had Drain left them, "old" would be read below instead of "new".
    link.Program().Write("old");
    calc.Drain();
    link.Program().Write("new");
    EXPECT_EQ(calc.ReceiveExactly(3, 2000), "new");
}

TEST_F(SimPortTest, PlugAndUnplugMakeAndRemoveTheDevice)
{
    const std::string folder = link.Root().Path() + "/" + UsbDeviceName;
    {
        auto device = sim::CreateUsbDevice(link.Root().Path());
        EXPECT_TRUE(device->Plugged());
        EXPECT_TRUE(Exists(folder + "/PIPE0"));
        EXPECT_TRUE(Exists(folder + "/PIPE1"));
        EXPECT_EQ(device->ProgramPortName(), UsbDeviceName);
        device->Unplug();
        EXPECT_FALSE(device->Plugged());
        EXPECT_FALSE(Exists(folder));
        EXPECT_FALSE(device->Send("x"));
        device->Unplug();
        device->Plug();
        EXPECT_TRUE(UsbDevicePresent(UsbDeviceNameUpper));
    }
    EXPECT_FALSE(Exists(folder)) << "the device outlived its simulator";
}

TEST(SimOptions, HexAndPortOptions)
{
    EXPECT_EQ(sim::ParseHex("01 23 ff"), ByteString("\x01\x23\xFF", 3));
    EXPECT_EQ(sim::ParseHex("0123FF"), ByteString("\x01\x23\xFF", 3));
    EXPECT_EQ(sim::ParseHex("00:0d"), ByteString("\x00\x0D", 2));
    EXPECT_EQ(sim::ParseHex(""), ByteString());
    for (const char* bad : {"1", "0 1", "zz", "012"}) EXPECT_FALSE(sim::ParseHex(bad).has_value()) << bad;

    std::vector<std::string> args{"--send", "41", "--root", "/r", "--drop", "0.5", "--throttle", "--seed", "9", "--hold"};
    sim::PortOptions options;
    EXPECT_EQ(sim::TakePortOptions(args, options), "");
    EXPECT_EQ(args, (std::vector<std::string>{"--send", "41", "--hold"}));
    EXPECT_TRUE(options.usb);
    EXPECT_EQ(options.root, "/r");
    EXPECT_TRUE(options.throttle);
    EXPECT_DOUBLE_EQ(options.faults.dropByte, 0.5);
    EXPECT_EQ(options.faults.seed, 9u);

    for (std::vector<std::string> bad : {std::vector<std::string>{"--drop", "2"}, {"--delay"}, {"--root"}}) {
        sim::PortOptions o;
        EXPECT_NE(sim::TakePortOptions(bad, o), "") << bad[0];
    }
}

} // namespace

// The calculator's data fields: a control byte goes out prefixed, and a frame too short
// for a prefixed byte is refused instead of splitting the file into empty fields for ever.
TEST_F(SimPortTest, KermitDataFieldsCarryPrefixedBytesAndRefuseTooShortFrames)
{
    auto& port = link.OpenPty();
    const ByteString controls("\x01\x02\x03", 3);
    sim::KermitOptions options;
    options.maxLen = sim::MinMaxLen;
    const auto fields = sim::KermitCalculator(port, options).DataFields(controls);
    EXPECT_EQ(fields, (std::vector<ByteString>{"#A", "#B", "#C"}));
    for (const int maxLen : {sim::MinMaxLen - 1, 3, sim::MaxMaxLen + 1}) {
        options.maxLen = maxLen;
        EXPECT_THROW(sim::KermitCalculator(port, options).DataFields(controls), std::invalid_argument) << maxLen;
    }
}
