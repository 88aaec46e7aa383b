#include "util/HostInterfaces.h"

namespace {
std::atomic<IStatusDialog*> gStatusDialog{nullptr};
std::atomic<IHostWindows*> gHost{nullptr};
} // namespace

IStatusDialog* GlobalStatusDialog() { return gStatusDialog.load(); }
void SetGlobalStatusDialog(IStatusDialog* dialog) { gStatusDialog.store(dialog); }
IHostWindows* Host() { return gHost.load(); }
void SetHost(IHostWindows* host) { gHost.store(host); }
