// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/LinkFixtures.h"

#include <cstdlib>

#include "link/Link.h"

ScopedDeviceRoot::ScopedDeviceRoot()
{
    if (const char* old = std::getenv("CALVYX_DEVICE_ROOT")) {
        hadPrevious_ = true;
        previous_ = old;
    }
    ::setenv("CALVYX_DEVICE_ROOT", Path().c_str(), 1);
}

ScopedDeviceRoot::~ScopedDeviceRoot()
{
    if (hadPrevious_)
        ::setenv("CALVYX_DEVICE_ROOT", previous_.c_str(), 1);
    else
        ::unsetenv("CALVYX_DEVICE_ROOT");
}

std::string ScopedDeviceRoot::Path() const { return dir_.path().toStdString(); }

LinkOnSim::LinkOnSim() = default;

LinkOnSim::~LinkOnSim() { program_.Close(); }

sim::SimPort& LinkOnSim::CreatePty()
{
    pty_ = sim::CreatePtyPort();
    return *pty_;
}

sim::SimUsbDevice& LinkOnSim::CreateUsb()
{
    usb_ = sim::CreateUsbDevice(root_.Path());
    return *usb_;
}

sim::SimPort& LinkOnSim::OpenPty(int baud)
{
    auto& port = CreatePty();
    program_.Open(port.ProgramPortName(), baud);
    return port;
}

sim::SimUsbDevice& LinkOnSim::OpenUsb()
{
    auto& device = CreateUsb();
    program_.Open(device.ProgramPortName(), LinkBaud);
    return device;
}
