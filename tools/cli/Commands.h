#pragma once
// calvyx-cli: a small dispatcher. Each command lives in its own file and registers
// itself with CALVYX_CLI_COMMAND; main() only looks the name up. Shared conventions:
//   port names  "QVxT0+" (the USB pipe device, any letter case), "COMn", or a device path
//   exit codes  0 done, 1 transfer failed, 2 bad usage, 3 port error ("Error(...)" on stderr)
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cli {

enum ExitCode { ExitOk = 0, ExitTransferFailed = 1, ExitUsage = 2, ExitPortError = 3 };

// "--name value" options, "--flag" switches and plain words, in any order.
class Args {
public:
    // valueOptions: the option names that take a value; any other "--x" is a switch.
    // Returns nothing (and prints why on stderr) when the words do not parse.
    static std::optional<Args> Parse(const std::vector<std::string>& words,
                                     const std::vector<std::string>& valueOptions,
                                     const std::vector<std::string>& switches);
    std::optional<std::string> Value(const std::string& name) const;
    bool Has(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return positional_; }

private:
    std::map<std::string, std::string> values_;
    std::vector<std::string> switches_;
    std::vector<std::string> positional_;
};

struct Command {
    const char* name;
    const char* synopsis; // "serve --port NAME --dir DIR [--xmodem-file FILE]"
    const char* summary;  // one line for the command list
    int (*run)(const std::vector<std::string>& words); // the words after the command name
};

const std::vector<Command>& AllCommands();
const Command* FindCommand(const std::string& name);
// Prints "usage: calvyx-cli <synopsis>" on stderr and returns ExitUsage.
int UsageError(const Command& command, const std::string& why = {});

struct CommandRegistrar {
    explicit CommandRegistrar(const Command& command);
};

} // namespace cli

#define CALVYX_CLI_CONCAT2(a, b) a##b
#define CALVYX_CLI_CONCAT(a, b) CALVYX_CLI_CONCAT2(a, b)
#define CALVYX_CLI_COMMAND(...) \
    static const ::cli::CommandRegistrar CALVYX_CLI_CONCAT(cliCommand_, __LINE__){::cli::Command{__VA_ARGS__}}
