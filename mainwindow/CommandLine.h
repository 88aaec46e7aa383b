#pragma once
// The program's one command-line parameter (the connection), read from the raw command
// line the way the start-up expects it: one string, parameters separated by blanks,
// double quotes grouping a parameter that contains blanks.
#include <optional>
#include <string>

#include <QStringList>

// Reads the parameter that starts at or after pos into param and returns the position
// after it. Blanks (characters 1 to 32) and empty quote pairs before it are skipped; a
// double quote inside it starts a quoted run copied up to the next quote. param is
// empty when the end of the text is reached.
std::size_t GetParam(const std::string& cmdLine, std::size_t pos, std::string& param);
// The number of non-empty parameters after the program name.
int CountParams(const std::string& cmdLine);
// Parameter n (0 is the program name); empty when there are fewer.
std::string ParamStr(const std::string& cmdLine, int n);

// Rebuilds one command-line string from the program's arguments, quoting those that
// contain blanks.
std::string BuildCommandLine(const QStringList& args);

// The raw command line of the process: set once by the program entry (tests set their
// own); built from QCoreApplication::arguments() when nobody set it.
void SetRawCommandLine(const std::string& cmdLine);
std::string RawCommandLine();

// The connection the first parameter chooses, exactly as typed: the USB device name in
// any letter case, a name starting with "COM" in any letter case, or a device path
// ("/dev/ttyUSB0", a pseudo-terminal). Anything else chooses nothing.
std::optional<std::string> PortFromCommandLine(const std::string& cmdLine);
