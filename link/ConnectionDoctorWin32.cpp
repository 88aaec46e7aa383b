// SPDX-License-Identifier: GPL-3.0-or-later
// The connection doctor on Windows: each COM port the registry lists, and whether this
// program can open it now (another program holding it is the usual obstacle). There are
// no device permissions, groups or rules to look at, and no USB link yet.
#include <windows.h>

#include "link/ConnectionDoctor.h"
#include "link/SerialPortList.h"

DoctorReport ExamineThisMachine(const std::string&)
{
    DoctorReport report;
    const auto ports = ListSerialPorts();
    for (const std::string& port : ports) {
        const std::string path = "\\\\.\\" + port;
        const HANDLE handle = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
            report.findings.push_back({port, "can be opened", FindingSeverity::Ok, ""});
            continue;
        }
        const DWORD code = ::GetLastError();
        if (code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION)
            report.findings.push_back({port, "another program has it open", FindingSeverity::Problem,
                                       "close the program that uses " + port + ", then try again"});
        else
            report.findings.push_back({port, "cannot be opened (Windows error " + std::to_string(code) + ")",
                                       FindingSeverity::Problem, "unplug the adapter and plug it in again"});
    }
    if (ports.empty())
        report.findings.push_back({"serial ports", "Windows lists no COM port", FindingSeverity::Problem,
                                   "plug the calculator's serial cable in, then look again"});
    report.findings.push_back({"USB", "this Windows build has no USB link; use the serial cable", FindingSeverity::Warning, ""});
    return report;
}
