// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A calculator on the USB bus, played at byte level inside a umockdev test bed: the
// device's descriptors in the test bed's sysfs and a handler that answers the usbfs
// requests libusb makes on its device node (claim, release, submit, reap, discard).
// OUT transfers are recorded; IN transfers are completed from a script of packets by
// the bus's rules (a transfer ends at a short or zero-length packet or when full; a
// packet larger than the room left overflows and loses its tail). The calculator can
// fall silent, stop taking data, refuse access or be unplugged.
//
// The program may run in this process, under umockdev-wrapper (the CTest launcher does
// that), or in a child started with umockdev's preload library and the test bed's root
// (UsbBusPort, calvyx-sim --usb-device): requests and buffers go through umockdev's copies.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "link/PortName.h"
#include "util/ByteString.h"

struct _UMockdevTestbed;
struct _UMockdevIoctlBase;
struct _UMockdevIoctlClient;
struct _UMockdevIoctlData;

namespace fakeusb {

struct DeviceShape {
    UsbId id{0x1e3a, 0x0401};
    // wMaxPacketSize of both bulk endpoints: 64 at full speed, 512 at high speed.
    int packetSize = 64;
    // A HID interface (interrupt endpoint) before the calculator's own, as interface 0.
    bool hidInterfaceFirst = false;
    // The calculator's interface has a kernel driver bound at first.
    bool driverBound = false;
};

// What tells one device from another when the program looks for the calculator.
struct DeviceLook {
    // The product string the device answers with; empty: the device has none.
    std::string product;
    // The class of the interface with the bulk endpoints (0xFF: vendor-specific).
    int interfaceClass = 0xFF;
    // Bulk IN endpoints of that interface (a second one makes it no calculator link).
    int bulkIns = 1;
    // The device's address on bus 1; two devices on one bus need two addresses.
    int deviceNumber = 5;
    // The socket it is plugged into, as the kernel names it ("1-2.3": port 3 of a hub in
    // port 2 of the root hub); empty: port deviceNumber - 2 of the root hub.
    std::string socket;
};

// True when the process runs under umockdev-wrapper.
bool InMockEnvironment();

class FakeCalculator {
public:
    explicit FakeCalculator(DeviceShape shape = {}, DeviceLook look = {});
    // A second device in the test bed of another one (on the same bus); it leaves the
    // bus when it goes. sameBus must outlive it.
    FakeCalculator(DeviceShape shape, DeviceLook look, FakeCalculator& sameBus);
    ~FakeCalculator();
    FakeCalculator(const FakeCalculator&) = delete;
    FakeCalculator& operator=(const FakeCalculator&) = delete;

    const DeviceShape& Shape() const { return shape_; }
    // The test bed's root folder: a program started with UMOCKDEV_DIR set to it and
    // umockdev's preload library sees this bus.
    std::string TestbedRoot() const;
    std::string PortName() const { return UsbIdName(shape_.id); }
    // "usb:1-2.3": the name of this device by its socket.
    std::string SocketName() const { return "usb:" + kernelName_; }
    // The calculator interface's number (1 when a HID interface comes first).
    int CalculatorInterface() const { return shape_.hidInterfaceFirst ? 1 : 0; }

    // The calculator sends bytes, cut into whole packets with no zero-length packet
    // after a full last one.
    void Send(const ByteString& bytes);
    // The calculator sends exactly these packets (an empty one is a zero-length packet).
    void SendPackets(const std::vector<ByteString>& packets);
    // Every OUT transfer the calculator takes is answered with answer(data) (when not
    // empty), as whole packets.
    void Answer(std::function<ByteString(const ByteString&)> answer);
    // The calculator stops taking data: OUT transfers stay pending until cancelled, or
    // until it takes them again (false), whole and in order.
    void StallWrites(bool stalled);
    // Flow control: while full() holds (called under the calculator's lock; it must not
    // call back), OUT transfers stay pending; TakeHeldWrites() takes them once there is
    // room again.
    void HoldWritesWhile(std::function<bool()> full);
    void TakeHeldWrites();
    // The cable is pulled: pending transfers end with ENODEV, every later request fails
    // with ENODEV, and the device leaves the bus.
    void Unplug();
    // The device node refuses to open (no permission).
    void DenyAccess();
    // Every IN transfer, the pending ones included, ends at once with this error
    // (EPIPE: the endpoint stalls; EPROTO: a bus error) until called with 0.
    void FailReads(int error);
    // A cancelled IN transfer never reports back (a device or host controller that has
    // stopped answering): the cancel is counted, the transfer stays pending.
    void IgnoreReadCancels();

    // What the calculator saw.
    std::vector<ByteString> OutTransfers() const;
    ByteString OutBytes() const;
    int InSubmits() const;              // IN transfers submitted
    int InDiscards() const;             // IN transfers cancelled by the program
    int OutDiscards() const;            // OUT transfers cancelled by the program
    int InPending() const;              // IN transfers pending now
    int OutPending() const;             // OUT transfers pending now (the calculator takes none)
    int SubmitsAfterUnplug() const;     // submissions refused because the device is gone
    std::vector<int> InLengths() const; // buffer length of each IN transfer submitted
    int Requests() const;               // usbfs requests of any kind (opening the device makes one)
    int Claims() const;
    int Releases() const;
    bool Claimed() const;
    int ClaimedInterface() const; // -1 when none
    int Detaches() const;         // kernel driver detach requests
    int ClearHalts() const;       // stalls cleared by the program
    int PacketsLeft() const;      // packets of the script nobody read yet

    // Waits until pred() (called under the calculator's lock) holds or limit passes.
    bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds limit) const;

private:
    struct Urb {
        _UMockdevIoctlData* data = nullptr; // the submitted usbdevfs_urb, ref'd
        _UMockdevIoctlClient* client = nullptr;
        unsigned long clientAddress = 0;
        bool in = false;
        int length = 0;
        _UMockdevIoctlData* buffer = nullptr; // umockdev's copy of the program's buffer, ref'd
        int filled = 0;
        int status = 0;
    };

    static void ClientVanished(_UMockdevIoctlBase* handler, _UMockdevIoctlClient* client, FakeCalculator* self);
    static int HandleIoctl(_UMockdevIoctlBase* handler, _UMockdevIoctlClient* client, FakeCalculator* self);
    bool Handle(_UMockdevIoctlClient* client);
    void ServeIn();                      // with mutex_ held
    void TakeHeld();                     // with mutex_ held
    void Take(std::size_t pendingIndex); // with mutex_ held
    static void Fill(Urb& urb, const char* bytes, int n);
    static void Release(Urb& urb);
    void Complete(std::size_t pendingIndex, int status);
    void Attach();
    // Answers a standard GET_DESCRIPTOR request for a string; false for anything else.
    bool AnswerControl(Urb& urb);

    DeviceShape shape_;
    DeviceLook look_;
    std::string devnode_;
    std::string sysPath_;
    std::string kernelName_; // "1-2.3"
    _UMockdevTestbed* testbed_ = nullptr;
    _UMockdevIoctlBase* handler_ = nullptr;
    bool sharedBus_ = false;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    unsigned long generation_ = 0; // moves on with every change
    std::deque<ByteString> packets_;
    std::function<ByteString(const ByteString&)> answer_;
    std::function<bool()> full_;
    std::vector<Urb> pending_;
    std::vector<Urb> done_;
    std::vector<ByteString> outTransfers_;
    std::vector<int> inLengths_;
    std::map<_UMockdevIoctlClient*, int> claims_; // client -> interface
    bool stallWrites_ = false;
    bool ignoreReadCancels_ = false;
    bool unplugged_ = false;
    bool driverBound_ = false;
    int failReads_ = 0;
    int clearHalts_ = 0;
    int inSubmits_ = 0;
    int inDiscards_ = 0;
    int outDiscards_ = 0;
    int submitsAfterUnplug_ = 0;
    int claimCount_ = 0;
    int releaseCount_ = 0;
    int detaches_ = 0;
    int requests_ = 0;
};

// Drops, for the calling thread only, the capabilities that let root open any file,
// so that a device node without permissions refuses root as well. Restored when the
// object goes.
class NoFileOverride {
public:
    NoFileOverride();
    ~NoFileOverride();
    NoFileOverride(const NoFileOverride&) = delete;
    NoFileOverride& operator=(const NoFileOverride&) = delete;
    bool Dropped() const { return dropped_; }

private:
    bool dropped_ = false;
    unsigned savedEffective_[2] = {};
};

} // namespace fakeusb
