#include "mainwindow/CommandLine.h"

#include <QCoreApplication>

#include "link/PortName.h"
#include "util/Utils.h"

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) >= 1 && static_cast<unsigned char>(c) <= 32; }
bool IsParamChar(char c) { return static_cast<unsigned char>(c) > 32; }

std::string& StoredCommandLine()
{
    static std::string line;
    return line;
}
bool& CommandLineSet()
{
    static bool set = false;
    return set;
}

} // namespace

std::size_t GetParam(const std::string& cmdLine, std::size_t pos, std::string& param)
{
    param.clear();
    const std::size_t n = cmdLine.size();
    for (;;) {
        while (pos < n && IsBlank(cmdLine[pos])) ++pos;
        // An empty quoted pair counts as blank space.
        if (pos + 1 < n && cmdLine[pos] == '"' && cmdLine[pos + 1] == '"') {
            pos += 2;
            continue;
        }
        break;
    }
    while (pos < n && IsParamChar(cmdLine[pos])) {
        if (cmdLine[pos] == '"') {
            ++pos;
            while (pos < n && cmdLine[pos] != '"' && cmdLine[pos] != '\0') param += cmdLine[pos++];
            if (pos < n && cmdLine[pos] == '"') ++pos;
        } else {
            param += cmdLine[pos++];
        }
    }
    return pos;
}

int CountParams(const std::string& cmdLine)
{
    std::string param;
    std::size_t pos = GetParam(cmdLine, 0, param); // the program name
    int count = 0;
    for (;;) {
        pos = GetParam(cmdLine, pos, param);
        if (param.empty()) break;
        ++count;
    }
    return count;
}

std::string ParamStr(const std::string& cmdLine, int n)
{
    std::string param;
    std::size_t pos = 0;
    for (int i = 0; i <= n; ++i) {
        pos = GetParam(cmdLine, pos, param);
        if (param.empty()) break;
    }
    return param;
}

std::string BuildCommandLine(const QStringList& args)
{
    std::string line;
    for (const auto& arg : args) {
        const std::string a = arg.toStdString();
        if (!line.empty()) line += ' ';
        bool blank = a.empty();
        for (char c : a) blank = blank || IsBlank(c);
        line += blank ? '"' + a + '"' : a;
    }
    return line;
}

void SetRawCommandLine(const std::string& cmdLine)
{
    StoredCommandLine() = cmdLine;
    CommandLineSet() = true;
}

std::string RawCommandLine()
{
    if (CommandLineSet() || !QCoreApplication::instance()) return StoredCommandLine();
    return BuildCommandLine(QCoreApplication::arguments());
}

std::optional<std::string> PortFromCommandLine(const std::string& cmdLine)
{
    if (CountParams(cmdLine) < 1) return std::nullopt;
    const std::string p = ParamStr(cmdLine, 1);
    if (AsciiUpper(p) == UsbDeviceNameUpper || AsciiUpper(p.substr(0, 3)) == "COM") return p;
    // A device path names a serial adapter or a pseudo-terminal directly.
    if (p.size() > 1 && p.front() == '/') return p;
    return std::nullopt;
}
