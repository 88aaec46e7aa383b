// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/FakeCalculator.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>

#include <linux/capability.h>
#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>

#include <umockdev.h>

namespace fakeusb {

namespace {

std::string Hex(const std::vector<int>& bytes)
{
    std::string out;
    char two[3];
    for (const int b : bytes) {
        std::snprintf(two, sizeof two, "%02x", b & 0xFF);
        out += two;
    }
    return out;
}

void AddWord(std::vector<int>& bytes, int word)
{
    bytes.push_back(word & 0xFF);
    bytes.push_back((word >> 8) & 0xFF);
}

constexpr int ProductStringIndex = 2;
constexpr int EnglishUs = 0x0409;

// Device, configuration, interface(s) and endpoint descriptors, as the kernel shows
// them in the device's "descriptors" attribute.
std::string Descriptors(const DeviceShape& shape, const DeviceLook& look)
{
    std::vector<int> d = {18, 1};
    AddWord(d, shape.packetSize == 512 ? 0x0200 : 0x0110); // bcdUSB
    d.insert(d.end(), {0, 0, 0, 64});                      // class from the interfaces; ep0 64
    AddWord(d, shape.id.vendor);
    AddWord(d, shape.id.product);
    AddWord(d, 0x0100);
    d.insert(d.end(), {0, look.product.empty() ? 0 : ProductStringIndex, 0, 1}); // strings; one configuration

    std::vector<int> interfaces;
    int number = 0;
    if (shape.hidInterfaceFirst) {
        // A keyboard-like HID interface with one interrupt IN endpoint: not the link.
        interfaces.insert(interfaces.end(), {9, 4, number++, 0, 1, 0x03, 0, 0, 0});
        interfaces.insert(interfaces.end(), {7, 5, 0x83, 0x03});
        AddWord(interfaces, 8);
        interfaces.push_back(10);
    }
    interfaces.insert(interfaces.end(), {9, 4, number++, 0, 1 + look.bulkIns, look.interfaceClass, 0, 0, 0});
    for (int in = 0; in < look.bulkIns; ++in) {
        interfaces.insert(interfaces.end(), {7, 5, in == 0 ? 0x81 : 0x84 + in, 0x02});
        AddWord(interfaces, shape.packetSize);
        interfaces.push_back(0);
    }
    interfaces.insert(interfaces.end(), {7, 5, 0x02, 0x02});
    AddWord(interfaces, shape.packetSize);
    interfaces.push_back(0);

    std::vector<int> config = {9, 2};
    AddWord(config, 9 + static_cast<int>(interfaces.size()));
    config.insert(config.end(), {number, 1, 0, 0x80, 50});
    d.insert(d.end(), config.begin(), config.end());
    d.insert(d.end(), interfaces.begin(), interfaces.end());
    return Hex(d);
}

constexpr int BusNumber = 1;

} // namespace

// umockdev's own test says whether a test bed is active; before the first one, the
// preloaded library is what tells.
bool InMockEnvironment()
{
    const char* preload = std::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, "libumockdev-preload") != nullptr;
}

FakeCalculator::FakeCalculator(DeviceShape shape, DeviceLook look)
    : shape_(shape), look_(std::move(look)), driverBound_(shape.driverBound)
{
    testbed_ = umockdev_testbed_new();
    Attach();
}

FakeCalculator::FakeCalculator(DeviceShape shape, DeviceLook look, FakeCalculator& sameBus)
    : shape_(shape), look_(std::move(look)), sharedBus_(true), driverBound_(shape.driverBound)
{
    if (look_.deviceNumber == sameBus.look_.deviceNumber) throw std::logic_error("two devices at one address");
    testbed_ = static_cast<UMockdevTestbed*>(g_object_ref(sameBus.testbed_));
    Attach();
}

void FakeCalculator::Attach()
{
    const int deviceNumber = look_.deviceNumber;
    kernelName_ = look_.socket.empty() ? "1-" + std::to_string(deviceNumber - 2) : look_.socket;
    // The kernel's folder of a device behind hubs lies in the folders of the hubs:
    // usb1/1-2/1-2.3.
    std::string port;
    for (std::size_t dot = kernelName_.find('.'); dot != std::string::npos; dot = kernelName_.find('.', dot + 1))
        port += kernelName_.substr(0, dot) + "/";
    port += kernelName_;
    char node[64];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", BusNumber, deviceNumber);
    devnode_ = node;
    sysPath_ = "/sys/devices/pci0000:00/0000:00:14.0/usb1/" + port;

    handler_ = umockdev_ioctl_base_new();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&FakeCalculator::HandleIoctl), this);
    g_signal_connect(handler_, "client-vanished", G_CALLBACK(&FakeCalculator::ClientVanished), this);
    GError* error = nullptr;
    if (!umockdev_testbed_attach_ioctl(testbed_, devnode_.c_str(), handler_, &error)) {
        const std::string why = error ? error->message : "unknown";
        g_clear_error(&error);
        throw std::runtime_error("umockdev cannot attach to " + devnode_ + ": " + why);
    }
    char busdev[32];
    std::snprintf(busdev, sizeof busdev, "%03d/%03d", BusNumber, deviceNumber);
    const std::string description = "P: /devices/pci0000:00/0000:00:14.0/usb1/" + port + "\n" + "N: bus/usb/" + busdev +
                                    "\n"
                                    "E: SUBSYSTEM=usb\n"
                                    "E: DEVTYPE=usb_device\n"
                                    "E: DRIVER=usb\n"
                                    "E: BUSNUM=" +
                                    std::to_string(BusNumber) +
                                    "\n"
                                    "E: DEVNUM=" +
                                    std::to_string(deviceNumber) +
                                    "\n"
                                    "E: DEVNAME=" +
                                    devnode_ +
                                    "\n"
                                    "A: busnum=" +
                                    std::to_string(BusNumber) +
                                    "\\n\n"
                                    "A: devnum=" +
                                    std::to_string(deviceNumber) +
                                    "\\n\n"
                                    "A: bConfigurationValue=1\\n\n"
                                    "A: speed=" +
                                    (shape_.packetSize == 512 ? "480" : "12") +
                                    "\\n\n"
                                    "H: descriptors=" +
                                    Descriptors(shape_, look_) + "\n" +
                                    // The kernel reads the product string once, at plug-in.
                                    (look_.product.empty() ? std::string() : "A: product=" + look_.product + "\\n\n");
    if (!umockdev_testbed_add_from_string(testbed_, description.c_str(), &error)) {
        const std::string why = error ? error->message : "unknown";
        g_clear_error(&error);
        throw std::runtime_error("umockdev refused the device: " + why);
    }
}

FakeCalculator::~FakeCalculator()
{
    std::vector<Urb> left;
    {
        std::lock_guard lock(mutex_);
        left.insert(left.end(), pending_.begin(), pending_.end());
        left.insert(left.end(), done_.begin(), done_.end());
        pending_.clear();
        done_.clear();
    }
    // The handler first, so no request reaches a calculator that is going.
    g_signal_handlers_disconnect_by_data(handler_, this);
    for (auto& urb : left) Release(urb);
    if (sharedBus_ && !unplugged_) umockdev_testbed_remove_device(testbed_, sysPath_.c_str());
    g_clear_object(&handler_);
    g_clear_object(&testbed_);
}

void FakeCalculator::Send(const ByteString& bytes)
{
    std::vector<ByteString> packets;
    const auto size = static_cast<std::size_t>(shape_.packetSize);
    for (std::size_t at = 0; at < bytes.size(); at += size) packets.push_back(bytes.substr(at, size));
    SendPackets(packets);
}

void FakeCalculator::SendPackets(const std::vector<ByteString>& packets)
{
    std::lock_guard lock(mutex_);
    for (const auto& p : packets) {
        if (p.size() > static_cast<std::size_t>(shape_.packetSize)) throw std::logic_error("a packet larger than wMaxPacketSize");
        packets_.push_back(p);
    }
    ServeIn();
    ++generation_;
    changed_.notify_all();
}

void FakeCalculator::Answer(std::function<ByteString(const ByteString&)> answer)
{
    std::lock_guard lock(mutex_);
    answer_ = std::move(answer);
}

void FakeCalculator::StallWrites(bool stalled)
{
    std::lock_guard lock(mutex_);
    stallWrites_ = stalled;
    if (stalled) return;
    TakeHeld();
}

void FakeCalculator::HoldWritesWhile(std::function<bool()> full)
{
    std::lock_guard lock(mutex_);
    full_ = std::move(full);
}

void FakeCalculator::TakeHeldWrites()
{
    std::lock_guard lock(mutex_);
    TakeHeld();
}

// Taken at last: the pending OUT transfers complete whole, oldest first, while the
// calculator has room.
void FakeCalculator::TakeHeld()
{
    for (std::size_t i = 0; i < pending_.size();) {
        if (pending_[i].in) {
            ++i;
            continue;
        }
        if (stallWrites_ || (full_ && full_())) break;
        Take(i);
    }
    ++generation_;
    changed_.notify_all();
}

// The calculator takes the data of the pending OUT transfer i.
void FakeCalculator::Take(std::size_t i)
{
    Urb& urb = pending_[i];
    const ByteString data(reinterpret_cast<const char*>(urb.buffer->data), static_cast<std::size_t>(urb.length));
    outTransfers_.push_back(data);
    urb.filled = urb.length;
    Complete(i, 0);
    if (!answer_) return;
    const ByteString reply = answer_(data);
    const auto size = static_cast<std::size_t>(shape_.packetSize);
    for (std::size_t at = 0; at < reply.size(); at += size) packets_.push_back(reply.substr(at, size));
    ServeIn();
}

void FakeCalculator::Unplug()
{
    {
        std::lock_guard lock(mutex_);
        unplugged_ = true;
        while (!pending_.empty()) Complete(0, -ENODEV);
        ++generation_;
        changed_.notify_all();
    }
    umockdev_testbed_remove_device(testbed_, sysPath_.c_str());
}

void FakeCalculator::IgnoreReadCancels()
{
    std::lock_guard lock(mutex_);
    ignoreReadCancels_ = true;
}

void FakeCalculator::FailReads(int error)
{
    std::lock_guard lock(mutex_);
    failReads_ = error;
    if (!error) return;
    for (std::size_t i = 0; i < pending_.size();) {
        if (pending_[i].in)
            Complete(i, -error);
        else
            ++i;
    }
    ++generation_;
    changed_.notify_all();
}

std::string FakeCalculator::TestbedRoot() const
{
    gchar* root = umockdev_testbed_get_root_dir(testbed_);
    std::string out = root;
    g_free(root);
    return out;
}

void FakeCalculator::DenyAccess()
{
    gchar* root = umockdev_testbed_get_root_dir(testbed_);
    const std::string path = std::string(root) + devnode_;
    g_free(root);
    if (::chmod(path.c_str(), 0) != 0)
        throw std::runtime_error("cannot take the permissions of " + path + ": " + std::strerror(errno));
}

// Moves pending_[i] to the reapable ones with a status.
void FakeCalculator::Complete(std::size_t i, int status)
{
    Urb urb = pending_[i];
    pending_.erase(pending_.begin() + static_cast<std::ptrdiff_t>(i));
    urb.status = status;
    done_.push_back(urb);
}

// Copies bytes into the transfer's buffer, after what it holds already.
void FakeCalculator::Fill(Urb& urb, const char* bytes, int n)
{
    if (n <= 0 || !urb.buffer) return;
    umockdev_ioctl_data_update(urb.buffer, static_cast<gsize>(urb.filled), reinterpret_cast<guint8*>(const_cast<char*>(bytes)),
                               n);
    urb.filled += n;
}

void FakeCalculator::Release(Urb& urb)
{
    if (urb.buffer) umockdev_ioctl_data_unref(urb.buffer);
    umockdev_ioctl_data_unref(urb.data);
}

// Fills the oldest pending IN transfers from the script, packet by packet.
void FakeCalculator::ServeIn()
{
    if (unplugged_) return;
    for (;;) {
        auto it = std::find_if(pending_.begin(), pending_.end(), [](const Urb& u) { return u.in; });
        if (it == pending_.end() || packets_.empty()) return;
        Urb& urb = *it;
        const ByteString packet = packets_.front();
        packets_.pop_front();
        const int room = urb.length - urb.filled;
        const int size = static_cast<int>(packet.size());
        const auto index = static_cast<std::size_t>(it - pending_.begin());
        if (size > room) {
            // Babble: the room left is filled, the rest of the packet is lost.
            Fill(urb, packet.data(), room);
            Complete(index, -EOVERFLOW);
            continue;
        }
        Fill(urb, packet.data(), size);
        if (size < shape_.packetSize || urb.filled == urb.length) Complete(index, 0);
    }
}

// A program closed the device node: the kernel releases what it held.
void FakeCalculator::ClientVanished(_UMockdevIoctlBase*, _UMockdevIoctlClient* client, FakeCalculator* self)
{
    std::vector<Urb> dropped;
    {
        std::lock_guard lock(self->mutex_);
        self->claims_.erase(client);
        for (auto* list : {&self->pending_, &self->done_}) {
            for (auto it = list->begin(); it != list->end();) {
                if (it->client != client) {
                    ++it;
                    continue;
                }
                dropped.push_back(*it);
                it = list->erase(it);
            }
        }
        ++self->generation_;
        self->changed_.notify_all();
    }
    for (auto& urb : dropped) Release(urb);
}

int FakeCalculator::HandleIoctl(_UMockdevIoctlBase*, _UMockdevIoctlClient* client, FakeCalculator* self)
{
    return self->Handle(client) ? TRUE : FALSE;
}

bool FakeCalculator::Handle(_UMockdevIoctlClient* client)
{
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    std::unique_lock lock(mutex_);
    ++requests_;
    struct Notify {
        FakeCalculator& self;
        ~Notify()
        {
            ++self.generation_;
            self.changed_.notify_all();
        }
    } notify{*this};

    const auto fail = [&](int err) {
        umockdev_ioctl_client_complete(client, -1, err);
        return true;
    };
    const auto ok = [&] {
        umockdev_ioctl_client_complete(client, 0, 0);
        return true;
    };

    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        UMockdevIoctlData* d = umockdev_ioctl_data_resolve(arg, 0, sizeof(guint32), nullptr);
        *reinterpret_cast<guint32*>(d->data) = USBDEVFS_CAP_BULK_SCATTER_GATHER | USBDEVFS_CAP_BULK_CONTINUATION |
                                               USBDEVFS_CAP_NO_PACKET_SIZE_LIM | USBDEVFS_CAP_REAP_AFTER_DISCONNECT |
                                               USBDEVFS_CAP_ZERO_PACKET;
        umockdev_ioctl_data_unref(d);
        return ok();
    }
    case USBDEVFS_GETDRIVER: {
        if (unplugged_) return fail(ENODEV);
        if (!driverBound_) return fail(ENODATA);
        UMockdevIoctlData* d = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_getdriver), nullptr);
        auto* get = reinterpret_cast<usbdevfs_getdriver*>(d->data);
        std::snprintf(get->driver, sizeof get->driver, "%s", "calcserial");
        umockdev_ioctl_data_unref(d);
        return ok();
    }
    case USBDEVFS_IOCTL: {
        if (unplugged_) return fail(ENODEV);
        UMockdevIoctlData* d = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_ioctl), nullptr);
        const auto* cmd = reinterpret_cast<const usbdevfs_ioctl*>(d->data);
        const bool disconnect = cmd->ioctl_code == static_cast<int>(USBDEVFS_DISCONNECT);
        umockdev_ioctl_data_unref(d);
        if (!disconnect) return fail(ENOTTY);
        if (!driverBound_) return fail(ENODATA);
        driverBound_ = false;
        ++detaches_;
        return ok();
    }
    case USBDEVFS_CLAIMINTERFACE:
    case USBDEVFS_RELEASEINTERFACE: {
        if (unplugged_) return fail(ENODEV);
        UMockdevIoctlData* d = umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned int), nullptr);
        const int number = static_cast<int>(*reinterpret_cast<unsigned int*>(d->data));
        umockdev_ioctl_data_unref(d);
        if (request == USBDEVFS_RELEASEINTERFACE) {
            auto it = claims_.find(client);
            if (it == claims_.end() || it->second != number) return fail(EINVAL);
            claims_.erase(it);
            ++releaseCount_;
            return ok();
        }
        for (const auto& [owner, claimed] : claims_)
            if (claimed == number && owner != client) return fail(EBUSY);
        if (number == CalculatorInterface() && driverBound_) return fail(EBUSY);
        claims_[client] = number;
        ++claimCount_;
        return ok();
    }
    case USBDEVFS_CLEAR_HALT:
        if (unplugged_) return fail(ENODEV);
        ++clearHalts_;
        return ok();
    case USBDEVFS_RESETEP:
        return unplugged_ ? fail(ENODEV) : ok();

    case USBDEVFS_SUBMITURB: {
        UMockdevIoctlData* d = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
        auto* urb = reinterpret_cast<usbdevfs_urb*>(d->data);
        if (unplugged_) {
            ++submitsAfterUnplug_;
            umockdev_ioctl_data_unref(d);
            return fail(ENODEV);
        }
        if (urb->type == USBDEVFS_URB_TYPE_CONTROL) {
            Urb u;
            u.data = d;
            u.client = client;
            u.clientAddress = d->client_addr;
            u.length = urb->buffer_length;
            u.buffer =
                umockdev_ioctl_data_resolve(d, G_STRUCT_OFFSET(usbdevfs_urb, buffer), static_cast<gsize>(u.length), nullptr);
            if (!AnswerControl(u)) {
                umockdev_ioctl_data_unref(u.buffer);
                umockdev_ioctl_data_unref(d);
                return fail(EPIPE); // the device stalls a request it does not know
            }
            pending_.push_back(u);
            Complete(pending_.size() - 1, 0);
            return ok();
        }
        if (urb->type != USBDEVFS_URB_TYPE_BULK) {
            umockdev_ioctl_data_unref(d);
            return fail(EINVAL);
        }
        Urb u;
        u.data = d; // keeps the reference until reaped
        u.client = client;
        u.clientAddress = d->client_addr;
        u.in = (urb->endpoint & 0x80) != 0;
        u.length = urb->buffer_length;
        u.buffer = umockdev_ioctl_data_resolve(d, G_STRUCT_OFFSET(usbdevfs_urb, buffer), static_cast<gsize>(u.length), nullptr);
        if (u.in) {
            ++inSubmits_;
            inLengths_.push_back(u.length);
            pending_.push_back(u);
            if (failReads_)
                Complete(pending_.size() - 1, -failReads_);
            else
                ServeIn();
            return ok();
        }
        pending_.push_back(u);
        // Earlier held writes go first; this one waits behind them.
        const bool held = std::any_of(pending_.begin(), pending_.end() - 1, [](const Urb& p) { return !p.in; });
        if (!held && !stallWrites_ && !(full_ && full_())) Take(pending_.size() - 1);
        return ok();
    }
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY: {
        auto it = std::find_if(done_.begin(), done_.end(), [&](const Urb& u) { return u.client == client; });
        if (it == done_.end()) return fail(unplugged_ ? ENODEV : EAGAIN);
        Urb u = *it;
        done_.erase(it);
        // Written through umockdev's copy of the request, which goes back to the
        // program's memory when the request completes (the program may be another process).
        int status = u.status;
        int actual = u.filled;
        umockdev_ioctl_data_update(u.data, G_STRUCT_OFFSET(usbdevfs_urb, status), reinterpret_cast<guint8*>(&status),
                                   sizeof status);
        umockdev_ioctl_data_update(u.data, G_STRUCT_OFFSET(usbdevfs_urb, actual_length), reinterpret_cast<guint8*>(&actual),
                                   sizeof actual);
        UMockdevIoctlData* ptr = umockdev_ioctl_data_resolve(arg, 0, sizeof(gpointer), nullptr);
        umockdev_ioctl_data_set_ptr(ptr, 0, u.data);
        umockdev_ioctl_data_unref(ptr);
        umockdev_ioctl_data_unref(u.buffer);
        umockdev_ioctl_data_unref(u.data);
        return ok();
    }
    case USBDEVFS_DISCARDURB: {
        const unsigned long address = reinterpret_cast<unsigned long>(*reinterpret_cast<void**>(arg->data));
        auto it = std::find_if(pending_.begin(), pending_.end(),
                               [&](const Urb& u) { return u.client == client && u.clientAddress == address; });
        if (it == pending_.end()) return fail(EINVAL);
        if (it->in)
            ++inDiscards_;
        else
            ++outDiscards_;
        if (it->in && ignoreReadCancels_) return ok();
        Complete(static_cast<std::size_t>(it - pending_.begin()), -ENOENT);
        return ok();
    }
    default:
        std::fprintf(stderr, "fake calculator: usbfs request 0x%lx not handled\n", request);
        return false;
    }
}

bool FakeCalculator::AnswerControl(Urb& urb)
{
    // The setup packet comes first in the buffer, the answer follows it.
    if (urb.length < 8) return false;
    const unsigned char* setup = urb.buffer->data;
    const int requestType = setup[0];
    const int request = setup[1];
    const int index = setup[2];
    const int type = setup[3];
    const int language = setup[4] | (setup[5] << 8);
    const int room = std::min(setup[6] | (setup[7] << 8), urb.length - 8);
    if (requestType != 0x80 || request != 6 /* GET_DESCRIPTOR */ || type != 3 /* string */) return false;
    std::vector<unsigned char> answer;
    if (index == 0) {
        answer = {4, 3, EnglishUs & 0xFF, EnglishUs >> 8};
    } else if (index == ProductStringIndex && !look_.product.empty() && language == EnglishUs) {
        answer = {static_cast<unsigned char>(2 + 2 * look_.product.size()), 3};
        for (const char c : look_.product) answer.insert(answer.end(), {static_cast<unsigned char>(c), 0});
    } else {
        return false;
    }
    const int n = std::min(room, static_cast<int>(answer.size()));
    umockdev_ioctl_data_update(urb.buffer, 8, answer.data(), n);
    urb.filled = n;
    return true;
}

std::vector<ByteString> FakeCalculator::OutTransfers() const
{
    std::lock_guard lock(mutex_);
    return outTransfers_;
}

ByteString FakeCalculator::OutBytes() const
{
    std::lock_guard lock(mutex_);
    ByteString all;
    for (const auto& t : outTransfers_) all += t;
    return all;
}

int FakeCalculator::InSubmits() const
{
    std::lock_guard lock(mutex_);
    return inSubmits_;
}

int FakeCalculator::InDiscards() const
{
    std::lock_guard lock(mutex_);
    return inDiscards_;
}

int FakeCalculator::OutDiscards() const
{
    std::lock_guard lock(mutex_);
    return outDiscards_;
}

int FakeCalculator::InPending() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(pending_.begin(), pending_.end(), [](const Urb& u) { return u.in; }));
}

int FakeCalculator::OutPending() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count_if(pending_.begin(), pending_.end(), [](const Urb& u) { return !u.in; }));
}

int FakeCalculator::SubmitsAfterUnplug() const
{
    std::lock_guard lock(mutex_);
    return submitsAfterUnplug_;
}

std::vector<int> FakeCalculator::InLengths() const
{
    std::lock_guard lock(mutex_);
    return inLengths_;
}

int FakeCalculator::Requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

int FakeCalculator::Claims() const
{
    std::lock_guard lock(mutex_);
    return claimCount_;
}

int FakeCalculator::Releases() const
{
    std::lock_guard lock(mutex_);
    return releaseCount_;
}

bool FakeCalculator::Claimed() const
{
    std::lock_guard lock(mutex_);
    return !claims_.empty();
}

int FakeCalculator::ClaimedInterface() const
{
    std::lock_guard lock(mutex_);
    return claims_.empty() ? -1 : claims_.begin()->second;
}

int FakeCalculator::Detaches() const
{
    std::lock_guard lock(mutex_);
    return detaches_;
}

int FakeCalculator::ClearHalts() const
{
    std::lock_guard lock(mutex_);
    return clearHalts_;
}

int FakeCalculator::PacketsLeft() const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(packets_.size());
}

bool FakeCalculator::WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds limit) const
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::unique_lock lock(mutex_);
    for (;;) {
        // pred reads the calculator through its own locked accessors; a change made
        // while it runs moves the generation on, so the wait below never misses it.
        const unsigned long seen = generation_;
        lock.unlock();
        if (pred()) return true;
        lock.lock();
        if (!changed_.wait_until(lock, deadline, [&] { return generation_ != seen; })) {
            lock.unlock();
            return pred();
        }
    }
}

NoFileOverride::NoFileOverride()
{
    if (::geteuid() != 0) return;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0) return;
    savedEffective_[0] = data[0].effective;
    savedEffective_[1] = data[1].effective;
    const unsigned drop = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
    data[0].effective &= ~drop;
    dropped_ = ::syscall(SYS_capset, &header, data) == 0;
}

NoFileOverride::~NoFileOverride()
{
    if (!dropped_) return;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0) return;
    data[0].effective = savedEffective_[0];
    data[1].effective = savedEffective_[1];
    ::syscall(SYS_capset, &header, data);
}

} // namespace fakeusb
