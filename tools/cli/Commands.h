// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// calvyx-cli: a small dispatcher. Each command lives in its own file and registers
// itself in the program's command table (tools/common/CommandTable.h), its synopsis
// being the usage line; main() only looks the name up. Shared conventions:
//   port names  "QVxT0+" (the USB pipe device, any letter case), "usb:VVVV:PPPP",
//               "usb:BUS-PORT.PORT", "COMn", or a device path
//   exit codes  0 done, 1 transfer failed, 2 bad usage, 3 port error (one line on stderr:
//               "calvyx-cli COMMAND: cannot open PORT: WHY"), 130 stopped by Ctrl-C
//   streams     what the command does on stdout, every error on stderr
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tools/common/CommandTable.h"

namespace cli {

// ExitInterrupted: Ctrl-C (or SIGTERM) stopped a transfer cleanly, as a shell counts it.
enum ExitCode { ExitOk = 0, ExitTransferFailed = 1, ExitUsage = 2, ExitPortError = 3, ExitInterrupted = 130 };

// "--name value" options, "--flag" switches and plain words, in any order.
class Args {
public:
    // valueOptions: the option names that take a value; any other "--x" is a switch.
    // Returns nothing (and prints why on stderr) when the words do not parse.
    static std::optional<Args> Parse(const std::vector<std::string>& words, const std::vector<std::string>& valueOptions,
                                     const std::vector<std::string>& switches);
    // The last value given for the option.
    std::optional<std::string> Value(const std::string& name) const;
    // Every value given for the option, in order.
    std::vector<std::string> Values(const std::string& name) const;
    bool Has(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return positional_; }

private:
    std::map<std::string, std::vector<std::string>> values_;
    std::vector<std::string> switches_;
    std::vector<std::string> positional_;
};

// Prints "calvyx-cli NAME: why" (when there is a why) and "usage: calvyx-cli <synopsis>"
// on stderr for the registered command name; returns ExitUsage.
int UsageError(const char* name, const std::string& why = {});

} // namespace cli
