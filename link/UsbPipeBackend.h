// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The USB backend of the link on the calculator's pipe device: the read pipe through
// the USB reader thread, the write pipe written directly.
#include <memory>
#include <string>

class LinkBackend;

// Opens the device's two pipes; a failure is traced and raised as a LinkError, with
// nothing left open. A device that another user could have made is refused (kind
// NoPermission, the reason PipeDeviceProblem's words).
std::unique_ptr<LinkBackend> OpenUsbPipeBackend(const std::string& name);
