// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the calculator among the USB devices: which devices are listed, which are
// taken for the calculator (a listed id, or a product string naming the model on a
// vendor-specific interface with one bulk IN and one bulk OUT endpoint), whether the
// user may open them, and how the pipe device's name reaches a calculator on the bus.
#include <gtest/gtest.h>

#include <memory>

#include "link/Link.h"
#include "link/PortName.h"
#include "link/UsbDevices.h"
#include "link/UsbPipes.h"
#include "tests/support/LinkFixtures.h"
#include "tests/support/ScopedSettings.h"
#include "tools/sim/FakeCalculator.h"
#include "util/CalvyxError.h"

namespace {

using fakeusb::DeviceLook;
using fakeusb::DeviceShape;
using fakeusb::FakeCalculator;

constexpr UsbId CalculatorId{0x1e3a, 0x0401};
constexpr UsbId OtherId{0x2b1c, 0x7001};

// A device on the bus: its id and what it looks like.
struct Device {
    DeviceShape shape;
    DeviceLook look;
};

Device Shape(UsbId id, const char* product, int deviceNumber = 5)
{
    Device device;
    device.shape.id = id;
    device.look.product = product;
    device.look.deviceNumber = deviceNumber;
    return device;
}

std::unique_ptr<FakeCalculator> Plug(const Device& d) { return std::make_unique<FakeCalculator>(d.shape, d.look); }

class UsbDevices : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fakeusb::InMockEnvironment()) << "tests_usb must run under umockdev-wrapper (ctest's launcher does it)";
    }
    ScopedSettings settings; // an empty list of calculator ids
    ScopedDeviceRoot root;   // no pipe device
};

TEST_F(UsbDevices, ListsDevicesWithABulkPairAndMatchesByListedIdOrByProductName)
{
    struct Case {
        const char* what;
        Device device;
        std::vector<UsbId> known;
        UsbMatch match;
    };
    const auto with = [](Device device, auto change) {
        change(device.look);
        return device;
    };
    const Case cases[] = {
        {"listed id, whatever its name", Shape(OtherId, "Mouse"), {OtherId}, UsbMatch::ListedId},
        {"listed id among others", Shape(OtherId, ""), {CalculatorId, OtherId}, UsbMatch::ListedId},
        {"product names the model", Shape(CalculatorId, "QV T30s"), {}, UsbMatch::ProductName},
        {"model in other letter case", Shape(CalculatorId, "qv t20+"), {}, UsbMatch::ProductName},
        {"model T20", Shape(CalculatorId, "QV T20 Calculator"), {OtherId}, UsbMatch::ProductName},
        {"model T20s", Shape(CalculatorId, "T20S"), {}, UsbMatch::ProductName},
        {"another product", Shape(CalculatorId, "Mouse"), {}, UsbMatch::None},
        {"model name inside a longer word", Shape(CalculatorId, "QV T300"), {}, UsbMatch::None},
        {"no product string", Shape(CalculatorId, ""), {}, UsbMatch::None},
        {"model name, interface of another class",
         with(Shape(CalculatorId, "QV T30s"), [](DeviceLook& l) { l.interfaceClass = 0x0A; }),
         {},
         UsbMatch::None},
        {"model name, two bulk IN endpoints",
         with(Shape(CalculatorId, "QV T30s"), [](DeviceLook& l) { l.bulkIns = 2; }),
         {},
         UsbMatch::None},
        {"listed id, interface of another class",
         with(Shape(OtherId, "Modem"), [](DeviceLook& l) { l.interfaceClass = 0x0A; }),
         {OtherId},
         UsbMatch::ListedId},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto plugged = Plug(c.device);
        const FakeCalculator& calc = *plugged;
        const auto found = ListUsbCandidates(c.known);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].id, c.device.shape.id);
        EXPECT_EQ(found[0].product, c.device.look.product);
        EXPECT_EQ(found[0].bus, 1);
        EXPECT_EQ(found[0].address, c.device.look.deviceNumber);
        EXPECT_EQ(found[0].access, UsbAccess::Granted);
        EXPECT_EQ(found[0].match, c.match);
        const auto calculator = FindCalculator(c.known);
        if (c.match == UsbMatch::None)
            EXPECT_EQ(calculator, std::nullopt);
        else
            EXPECT_EQ(calculator, c.device.shape.id);
        EXPECT_FALSE(calc.Claimed()) << "listing claims nothing";
        EXPECT_TRUE(calc.OutTransfers().empty() && calc.InSubmits() == 0) << "listing moves no data";
    }
}

TEST_F(UsbDevices, ADeviceWithoutABulkPairIsNotListed)
{
    Device device = Shape(CalculatorId, "QV T30s");
    device.look.bulkIns = 0;
    const auto calc = Plug(device);
    EXPECT_TRUE(ListUsbCandidates({CalculatorId}).empty());
    EXPECT_EQ(FindCalculator({}), std::nullopt);
}

TEST_F(UsbDevices, FindCalculatorPrefersAListedIdToAProductName)
{
    // Both orders on the bus, so that the first device listed is not what decides.
    for (const auto& [named, listed] : {std::pair{5, 6}, std::pair{6, 5}}) {
        SCOPED_TRACE("named device at " + std::to_string(named));
        const Device a = Shape(CalculatorId, "QV T30s", named);
        const Device b = Shape(OtherId, "Link cable", listed);
        FakeCalculator first(a.shape, a.look);
        FakeCalculator second(b.shape, b.look, first);
        EXPECT_EQ(ListUsbCandidates({}).size(), 2u);
        EXPECT_EQ(FindCalculator({OtherId}), OtherId);
        EXPECT_EQ(FindCalculator({}), CalculatorId);
        EXPECT_EQ(FindCalculator({UsbId{0x1111, 0x2222}}), CalculatorId) << "a listed id that is not attached changes nothing";
    }
}

TEST_F(UsbDevices, ADeviceThisUserMayNotOpenIsShownSoAndItsNameIsUnknown)
{
    const auto plugged = Plug(Shape(CalculatorId, "QV T30s"));
    plugged->DenyAccess();
    fakeusb::NoFileOverride noOverride; // root too must meet the permissions
    auto found = ListUsbCandidates({});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].access, UsbAccess::Denied);
    EXPECT_EQ(found[0].product, "");
    EXPECT_EQ(found[0].match, UsbMatch::None) << "the product string cannot be read";
    found = ListUsbCandidates({CalculatorId});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].access, UsbAccess::Denied);
    EXPECT_EQ(found[0].match, UsbMatch::ListedId) << "a listed id needs no product string";
}

TEST_F(UsbDevices, ThePipeDeviceNameOpensACalculatorOnTheBusWhenThereIsNoPipeDevice)
{
    const auto plugged = Plug(Shape(CalculatorId, "QV T30s"));
    FakeCalculator& calc = *plugged;
    EXPECT_EQ(ResolveUsbLinkName(UsbDeviceNameUpper), UsbIdName(CalculatorId));
    EXPECT_EQ(ResolveUsbLinkName("qvxt0+"), UsbIdName(CalculatorId));
    EXPECT_EQ(ResolveUsbLinkName("COM1"), "COM1");
    EXPECT_EQ(ResolveUsbLinkName("/dev/QVxT0+"), "/dev/QVxT0+") << "a device path stays a serial line";
    Link link;
    ASSERT_NO_THROW(link.Open(UsbDeviceNameUpper, LinkBaud));
    EXPECT_TRUE(link.IsOpen());
    EXPECT_TRUE(calc.Claimed());
    EXPECT_EQ(calc.ClaimedInterface(), calc.CalculatorInterface());
    // The poll's presence test, by enumeration: the device matched by its name above.
    EXPECT_TRUE(UsbLinkPresent(UsbDeviceName));
    link.Close();
    calc.Unplug();
    EXPECT_FALSE(UsbLinkPresent(UsbDeviceName));
    EXPECT_THROW(link.Open(UsbDeviceNameUpper, LinkBaud), CalvyxError);
}

TEST_F(UsbDevices, AListedIdIsPresentByEnumerationAlone)
{
    ASSERT_TRUE(AddCalculatorId(OtherId));
    EXPECT_FALSE(AddCalculatorId(OtherId)) << "no duplicates";
    EXPECT_EQ(ReadCalculatorIds(), std::vector<UsbId>{OtherId});
    EXPECT_EQ(settings.Get("USB", "CalculatorIds").toString().toStdString(), "2b1c:7001");
    EXPECT_FALSE(UsbLinkPresent(UsbDeviceName));
    const auto calc = Plug(Shape(OtherId, "Link cable"));
    EXPECT_TRUE(UsbLinkPresent(UsbDeviceName));
    EXPECT_EQ(ResolveUsbLinkName(UsbDeviceNameUpper), UsbIdName(OtherId));
    EXPECT_FALSE(calc->Claimed());
}

// The window's poll finds a calculator known only by its product string, with no
// listing before and without opening it (no usbfs request at all); a device whose name
// fits but whose interface does not, or whose name does not fit, stays absent.
TEST_F(UsbDevices, AProductNamedCalculatorIsPresentByEnumerationAloneWithoutAListingBefore)
{
    struct Case {
        const char* what;
        Device device;
        bool present;
    };
    // Each device has an id of its own: one found is remembered for the process.
    const auto id = [](uint16_t product) { return UsbId{0x2b1c, product}; };
    Device twoIns = Shape(id(0x7103), "QV T20s");
    twoIns.look.bulkIns = 2;
    Device hidClass = Shape(id(0x7104), "T30S");
    hidClass.look.interfaceClass = 0x03;
    const Case cases[] = {
        {"no model in the name", Shape(id(0x7101), "Link cable"), false},
        {"no product string", Shape(id(0x7102), ""), false},
        {"a model name on two bulk INs", twoIns, false},
        {"a model name on a HID interface", hidClass, false},
        {"named T20+", Shape(id(0x7105), "QV T20+"), true},
        {"named t30s in lower case", Shape(id(0x7106), "graphing t30s"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto calc = Plug(c.device);
        EXPECT_EQ(UsbLinkPresent(UsbDeviceName), c.present);
        EXPECT_EQ(calc->Requests(), 0) << "the presence test reached the device";
    }
}

TEST_F(UsbDevices, ThePipeDeviceWinsOverACalculatorOnTheBus)
{
    const auto calc = Plug(Shape(CalculatorId, "QV T30s"));
    LinkOnSim sim; // its own device root, with the pipe device in it
    sim.OpenUsb();
    EXPECT_TRUE(sim.Program().IsOpen());
    EXPECT_EQ(ResolveUsbLinkName(UsbDeviceNameUpper), UsbDeviceNameUpper);
    EXPECT_TRUE(UsbLinkPresent(UsbDeviceName));
    EXPECT_FALSE(calc->Claimed()) << "the virtual calculator was opened, not the device on the bus";
}

// Two calculators of one id, one in a port of the root hub and one behind a hub: the
// socket name opens each and never the other, tells each one's presence, and finds a
// calculator plugged into the same socket again (at a new address).
TEST_F(UsbDevices, TwoCalculatorsOfOneIdAreToldApartByTheirSockets)
{
    Device a = Shape(CalculatorId, "QV T20+", 5);
    a.look.socket = "1-3";
    Device b = Shape(CalculatorId, "QV T20+", 6);
    b.look.socket = "1-2.4";
    FakeCalculator first(a.shape, a.look);
    auto second = std::make_unique<FakeCalculator>(b.shape, b.look, first);
    ASSERT_EQ(first.SocketName(), "usb:1-3");
    ASSERT_EQ(second->SocketName(), "usb:1-2.4");

    const auto found = ListUsbCandidates({});
    ASSERT_EQ(found.size(), 2u);
    for (const auto& c : found) {
        SCOPED_TRACE("device " + std::to_string(c.address));
        ASSERT_TRUE(c.socket.has_value());
        EXPECT_EQ(UsbSocketName(*c.socket), c.address == 5 ? "usb:1-3" : "usb:1-2.4");
    }

    const ByteString hello("to the calculator");
    for (FakeCalculator* target : {&first, second.get()}) {
        FakeCalculator* other = target == &first ? second.get() : &first;
        SCOPED_TRACE(target->SocketName());
        EXPECT_TRUE(PortPresent(target->SocketName()));
        Link link;
        ASSERT_NO_THROW(link.Open(target->SocketName(), LinkBaud));
        EXPECT_EQ(link.Kind(), LinkKind::Usb);
        EXPECT_TRUE(target->Claimed());
        EXPECT_FALSE(other->Claimed()) << "the socket name opened the other calculator";
        const ByteString otherBefore = other->OutBytes();
        link.Write(hello);
        EXPECT_EQ(target->OutBytes(), hello);
        EXPECT_EQ(other->OutBytes(), otherBefore) << "the bytes reached the other calculator";
        link.Close();
    }

    second->Unplug();
    EXPECT_FALSE(PortPresent("usb:1-2.4"));
    EXPECT_TRUE(PortPresent("usb:1-3")) << "the other calculator is still there";
    EXPECT_THROW(Link().Open("usb:1-2.4", LinkBaud), CalvyxError);
    second.reset();

    // Back in the same socket: a new address, the same name.
    Device again = b;
    again.look.deviceNumber = 9;
    FakeCalculator replugged(again.shape, again.look, first);
    EXPECT_TRUE(PortPresent("usb:1-2.4"));
    Link link;
    ASSERT_NO_THROW(link.Open("usb:1-2.4", LinkBaud));
    EXPECT_TRUE(replugged.Claimed());
    EXPECT_FALSE(first.Claimed());
    EXPECT_FALSE(PortPresent("usb:1-5")) << "an empty socket";
}

TEST(UsbIdList, ParsesAndWritesTheSettingsText)
{
    EXPECT_EQ(ParseUsbIdList(""), std::vector<UsbId>{});
    EXPECT_EQ(ParseUsbIdList("1e3a:0401"), std::vector<UsbId>{CalculatorId});
    EXPECT_EQ(ParseUsbIdList("1E3A:0401; 2b1c:7001;1e3a:0401;bad;12345:1"), (std::vector<UsbId>{CalculatorId, OtherId}));
    EXPECT_EQ(UsbIdListText({CalculatorId, OtherId}), "1e3a:0401;2b1c:7001");
    EXPECT_EQ(ParseBareUsbId("1e3a:0401"), CalculatorId);
    for (const char* bad : {"", "1e3a0401", "1e3a:040", "1e3g:0401", "usb:1e3a:0401", "1e3a:04011"})
        EXPECT_EQ(ParseBareUsbId(bad), std::nullopt) << bad;
}

} // namespace
