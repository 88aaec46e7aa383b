// SPDX-License-Identifier: GPL-3.0-or-later
// A class on USB: calculators of one id, each in its own socket, served at once by a
// class that follows every calculator found; one plugged in later joins, one unplugged
// leaves and the other goes on, and one plugged into the same socket again comes back
// under its label with its inbox.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "services/CalculatorClass.h"
#include "tests/support/LinkFixtures.h"
#include "tests/support/ScopedSettings.h"
#include "tests/support/Serving.h"
#include "tools/sim/FakeCalculator.h"

namespace {

using fakeusb::DeviceLook;
using fakeusb::DeviceShape;
using fakeusb::FakeCalculator;

DeviceLook InSocket(const char* socket, int deviceNumber)
{
    DeviceLook look;
    look.product = "QV T20+"; // found by its product string
    look.socket = socket;
    look.deviceNumber = deviceNumber;
    return look;
}

bool Served(const CalculatorClass& c, const std::string& port)
{
    const auto* m = c.Find(port);
    return m && m->session->Connected() && m->session->Transfers().KermitServerRunning();
}

TEST(UsbClass, EveryCalculatorIsServedBySocketAndOnePluggedInLaterJoins)
{
    ASSERT_TRUE(fakeusb::InMockEnvironment()) << "tests_usb must run under umockdev-wrapper (ctest's launcher does it)";
    ScopedSettings settings;
    ScopedDeviceRoot root; // no pipe device
    QTemporaryDir served;
    FakeCalculator first(DeviceShape{}, InSocket("1-2.1", 5));

    SetClassLabel("usb:1-2.2", "Ben"); // the teacher named the calculator in that socket

    CalculatorClass::Setup setup;
    setup.folder = served.path().toStdString();
    CalculatorClass calculators(setup);
    calculators.FollowAll(
        [] {
            // Only the USB bus of the test bed: not this machine's serial adapters.
            std::vector<std::string> usb;
            for (const auto& name : FindCalculators())
                if (name.rfind("usb:", 0) == 0) usb.push_back(name);
            return usb;
        },
        100);
    ASSERT_TRUE(ServeUntil([&] { return Served(calculators, "usb:1-2.1"); }, 5000)) << "the first calculator is not served";
    EXPECT_TRUE(first.Claimed());
    EXPECT_EQ(calculators.Members().size(), 1u);

    // A second of the same id, in the next socket, plugged in while the class runs.
    auto second = std::make_unique<FakeCalculator>(DeviceShape{}, InSocket("1-2.2", 6), first);
    ASSERT_TRUE(ServeUntil([&] { return Served(calculators, "usb:1-2.2"); }, 5000))
        << "the calculator plugged in later is not served";
    EXPECT_TRUE(second->Claimed());
    EXPECT_TRUE(QDir(served.filePath("usb:1-2.1")).exists());
    EXPECT_EQ(calculators.Find("usb:1-2.2")->label, "Ben");
    EXPECT_EQ(calculators.Find("usb:1-2.2")->inbox, served.filePath("Ben").toStdString());

    // Unplugged, it leaves the class; the first is still served.
    second->Unplug();
    ASSERT_TRUE(ServeUntil([&] { return calculators.Find("usb:1-2.2") == nullptr; }, 5000)) << "the unplugged calculator stays";
    EXPECT_TRUE(Served(calculators, "usb:1-2.1"));

    // Back in the same socket at a new address: the same label and inbox again.
    second = std::make_unique<FakeCalculator>(DeviceShape{}, InSocket("1-2.2", 9), first);
    ASSERT_TRUE(ServeUntil([&] { return Served(calculators, "usb:1-2.2"); }, 5000)) << "the replugged calculator is not served";
    EXPECT_TRUE(second->Claimed());
    EXPECT_EQ(calculators.Find("usb:1-2.2")->label, "Ben");
    EXPECT_EQ(calculators.Find("usb:1-2.2")->inbox, served.filePath("Ben").toStdString());
}

} // namespace
