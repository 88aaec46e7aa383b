// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/UsbPipes.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/LibUsbBackend.h"
#include "link/PortName.h"
#include "link/Trace.h"
#include "util/PrivateFolder.h"
#include "util/Utils.h"

namespace {

// Device names are not case-sensitive to the program (it upper-cases the port name),
// but folder names are: find the folder whatever its spelling. A name that names no
// folder yet keeps the device's own spelling, for the error and for the simulator.
std::string DeviceFolder(const std::string& root, const std::string& name)
{
    struct stat st {};
    if (::stat((root + "/" + name).c_str(), &st) == 0) return name;
    const std::string wanted = AsciiUpper(name);
    if (DIR* dir = ::opendir(root.c_str())) {
        std::string found;
        while (const dirent* e = ::readdir(dir)) {
            if (AsciiUpper(e->d_name) == wanted) {
                found = e->d_name;
                break;
            }
        }
        ::closedir(dir);
        if (!found.empty()) return found;
    }
    std::string folder = name;
    const auto at = folder.find(UsbDeviceNameUpper);
    if (at != std::string::npos) folder.replace(at, std::string(UsbDeviceName).size(), UsbDeviceName);
    return folder;
}

// The root that $CALVYX_DEVICE_ROOT names, if it names one.
const char* ChosenRoot()
{
    const char* root = std::getenv("CALVYX_DEVICE_ROOT");
    return root && *root ? root : nullptr;
}

} // namespace

std::string DeviceRoot()
{
    if (const char* root = ChosenRoot()) return root;
    // The pipe device lives with the user's other run-time files; without a session
    // folder, a per-user folder under /tmp (never a shared fixed name).
    if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run) return std::string(run) + "/calvyx";
    return "/tmp/calvyx-" + std::to_string(::getuid());
}

std::string PipeDeviceProblem(const std::string& name)
{
    if (ParseUsbId(name) || ParseUsbSocket(name)) return {};
    const std::string root = DeviceRoot();
    if (ChosenRoot()) {
        // A chosen root that is not there holds no device; whoever chose it makes it
        // (calvyx-sim does, privately).
        const PathFacts facts = LookAt(root);
        if (facts.kind == PathFacts::Kind::Missing && facts.error == 0) return {};
        if (std::string problem = PrivateFolderProblem(root, facts, ::geteuid()); !problem.empty()) return problem;
    } else if (std::string problem = MakePrivateFolder(root); !problem.empty()) {
        return problem;
    }
    const std::string folder = root + "/" + DeviceFolder(root, name);
    if (std::string problem = PrivateEntryProblem(folder); !problem.empty()) return problem;
    for (const char* pipe : {"/PIPE0", "/PIPE1"})
        if (std::string problem = PrivateEntryProblem(folder + pipe); !problem.empty()) return problem;
    return {};
}

std::string UsbPipePath(const std::string& name, int pipe)
{
    const std::string root = DeviceRoot();
    return root + "/" + DeviceFolder(root, name) + "/PIPE" + std::to_string(pipe);
}

bool UsbDevicePresent(const std::string& name)
{
    if (const auto id = ParseUsbId(name)) return UsbDeviceAttached(*id);
    if (const auto socket = ParseUsbSocket(name)) return UsbSocketAttached(*socket);
    // Pipes another user could have made are not taken for the calculator.
    if (const std::string problem = PipeDeviceProblem(name); !problem.empty()) {
        Trace("The pipe device is refused: " + problem);
        return false;
    }
    const std::string root = DeviceRoot();
    const std::string folder = root + "/" + DeviceFolder(root, name);
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return false;
    ::close(dir);
    const std::string pipe1 = folder + "/PIPE1";
    struct stat st {};
    if (::stat(pipe1.c_str(), &st) != 0) return false;
    if (!S_ISFIFO(st.st_mode)) return true;
    // A FIFO left behind by a device that is gone has no reader: opening it for
    // writing without blocking fails, which tells a stale folder from a device.
    const int fd = ::open(pipe1.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

namespace usbpipes {

int Open(const std::string& name, int pipe)
{
    const std::string path = UsbPipePath(name, pipe);
    const int mode = pipe == 0 ? O_RDONLY : O_WRONLY;
    // Non-blocking, so that opening a FIFO whose far end is missing never hangs.
    const int fd = ::open(path.c_str(), mode | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return -1;
    // What was opened is checked, not the name: a pipe swapped in after the check.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || (S_ISFIFO(st.st_mode) && st.st_uid != ::geteuid())) {
        ::close(fd);
        errno = EPERM;
        return -1;
    }
    return fd;
}

void Close(int fd)
{
    if (fd >= 0) ::close(fd);
}

} // namespace usbpipes
