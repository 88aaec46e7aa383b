#include "services/SelectedPort.h"

#include <mutex>

namespace {
std::mutex gMutex;
std::string gSelectedPort = "QVxT0+";
} // namespace

std::string SelectedPort()
{
    std::lock_guard lock(gMutex);
    return gSelectedPort;
}

void SetSelectedPort(const std::string& name)
{
    std::lock_guard lock(gMutex);
    gSelectedPort = name;
}
