// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's "Connect using:" box offers the calculators found on the bus as
// usb:vvvv:pppp entries after its own entries, which keep their order.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QStringList>

#include "link/PortName.h"
#include "link/UsbDevices.h"
#include "mainwindow/CommandLine.h"
#include "mainwindow/MainWindow.h"
#include "tests/support/LinkFixtures.h"
#include "tests/support/ScopedSettings.h"
#include "tools/sim/FakeCalculator.h"

namespace {

using fakeusb::DeviceLook;
using fakeusb::DeviceShape;
using fakeusb::FakeCalculator;

QStringList Items(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
    return items;
}

TEST(ConnectionBox, OffersTheCalculatorsOnTheBusAfterItsOwnEntries)
{
    ASSERT_TRUE(fakeusb::InMockEnvironment()) << "tests_usb must run under umockdev-wrapper (ctest's launcher does it)";
    ScopedSettings settings;
    ScopedDeviceRoot root;
    ASSERT_TRUE(AddCalculatorId({0x2b1c, 0x7001}));
    SetProgramArguments({"calvyx"});

    // The box without a device on the bus: its own entries.
    QStringList own;
    {
        MainWindow window([] {});
        own = Items(*window.connectionBox);
    }
    ASSERT_GE(own.size(), 3);
    EXPECT_EQ(own.mid(0, 3), (QStringList{"QVxT0+", "COM1", "COM2"}));
    for (const QString& item : own) EXPECT_FALSE(item.startsWith("usb:")) << item.toStdString();

    // A calculator by its model name, one by its listed id, and a device that is neither.
    DeviceLook named, listed, other;
    named.product = "QV T30s";
    named.deviceNumber = 5;
    listed.product = "Link cable";
    listed.deviceNumber = 6;
    other.product = "Mouse";
    other.deviceNumber = 7;
    FakeCalculator first(DeviceShape{}, named);
    FakeCalculator second(DeviceShape{{0x2b1c, 0x7001}, 64, false, false}, listed, first);
    FakeCalculator third(DeviceShape{{0x3333, 0x4444}, 64, false, false}, other, first);

    MainWindow window([] {});
    const QStringList items = Items(*window.connectionBox);
    ASSERT_EQ(items.size(), own.size() + 2) << items.join(' ').toStdString();
    EXPECT_EQ(items.mid(0, own.size()), own) << "the box's own entries keep their order";
    QStringList found = items.mid(own.size());
    found.sort();
    EXPECT_EQ(found, (QStringList{"usb:1e3a:0401", "usb:2b1c:7001"}));
    EXPECT_EQ(window.connectionBox->currentIndex(), 0);
    window.close();
}

} // namespace
