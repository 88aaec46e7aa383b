// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/sim/RomRole.h"

#include <chrono>
#include <cstdio>
#include <vector>

#include "tools/common/CommandTable.h"
#include "tools/sim/PortOptions.h"
#include "tools/sim/RoleCommand.h"
#include "util/Utils.h"

namespace sim {

namespace {

constexpr std::size_t ReadSize = 65536;
// After the declared length: how long the calculator listens for bytes that should not come.
constexpr int TrailingQuietMs = 100;

const char* const RomLoadHelp =
    "usage: calvyx-sim rom-load [port options] FILE [--wait MS]\n\n"
    "The calculator in its ROM-load mode: takes the length-prefixed ROM stream the program\n"
    "sends and checks it against FILE. Exit code 0 when it matches, 1 otherwise.\n\n"
    "  --wait MS        how long to wait for the stream (default 60000)\n";

int RunRomLoad(std::vector<std::string> args)
{
    PortOptions options;
    int waitMs = 60000;
    std::string file;
    const auto option = [&](const std::string& name, const std::string& value) -> std::string {
        const auto n = tooling::WholeNumber(value);
        if (name != "--wait") return "unknown option " + name;
        if (!n) return name + " needs a number";
        waitMs = *n;
        return {};
    };
    const auto word = [&](const std::string& w) -> std::string {
        if (!file.empty()) return "one file only";
        file = w;
        return {};
    };
    if (const auto rc = ParseRoleArgs("rom-load", RomLoadHelp, std::move(args), options, option, word)) return *rc;
    if (file.empty()) return RoleUsage("rom-load", "the ROM file to compare with is needed");
    const ByteString expected = ReadFileToString(file);
    const std::unique_ptr<SimPort> port = OpenSimPort(options);
    const RomLoadResult result = ReceiveRomStream(*port, expected, waitMs, 5000);
    if (!result.ok) {
        std::fprintf(stderr, "calvyx-sim rom-load: %s\n", result.error.c_str());
        return 1;
    }
    std::printf("ROM of %u bytes loaded and verified in %.3f s (%.0f bytes/s)\n", result.declaredLength, result.seconds,
                result.seconds > 0 ? (result.declaredLength + 4) / result.seconds : 0.0);
    return 0;
}

const tooling::CommandRegistration romLoadCommand{{"rom-load", "take a ROM stream (ROM-load mode) and check it", RunRomLoad}};

} // namespace

RomLoadResult ReceiveRomStream(SimPort& port, const ByteString& expected, int startTimeoutMs, int idleTimeoutMs)
{
    RomLoadResult result;
    ByteString prefix;
    const auto start = std::chrono::steady_clock::now();
    // In slices, so that a stop signal ends the wait of the calvyx-sim program.
    while (prefix.empty() && !StopRequested() &&
           std::chrono::steady_clock::now() - start < std::chrono::milliseconds(startTimeoutMs))
        prefix = port.Receive(4, 250);
    while (!prefix.empty() && prefix.size() < 4) {
        const ByteString got = port.Receive(4 - prefix.size(), idleTimeoutMs);
        if (got.empty()) {
            result.error = "the length prefix did not arrive (" + std::to_string(prefix.size()) + " of 4 bytes)";
            return result;
        }
        prefix += got;
    }
    if (prefix.size() < 4) {
        result.error = "the length prefix did not arrive (" + std::to_string(prefix.size()) + " of 4 bytes)";
        return result;
    }
    const auto first = std::chrono::steady_clock::now();
    for (int i = 3; i >= 0; --i)
        result.declaredLength = (result.declaredLength << 8) | ByteAt(prefix, static_cast<std::size_t>(i));

    bool mismatch = false;
    uint64_t firstMismatch = 0;
    for (;;) {
        const bool complete = result.received >= result.declaredLength;
        const ByteString got = port.Receive(ReadSize, complete ? TrailingQuietMs : idleTimeoutMs);
        if (got.empty()) break;
        for (std::size_t i = 0; i < got.size() && !mismatch; ++i) {
            const uint64_t at = result.received + i;
            if (at >= expected.size() || got[i] != expected[static_cast<std::size_t>(at)]) {
                mismatch = true;
                firstMismatch = at;
            }
        }
        result.received += got.size();
        if (!complete && result.received >= result.declaredLength)
            result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - first).count();
    }

    if (result.declaredLength != expected.size())
        result.error =
            "declared length " + std::to_string(result.declaredLength) + ", the file has " + std::to_string(expected.size());
    else if (result.received < result.declaredLength)
        result.error =
            "stream ended after " + std::to_string(result.received) + " of " + std::to_string(result.declaredLength) + " bytes";
    else if (result.received > result.declaredLength)
        result.error = std::to_string(result.received - result.declaredLength) + " bytes beyond the declared length";
    else if (mismatch)
        result.error = "bytes differ from the file at offset " + std::to_string(firstMismatch);
    result.ok = result.error.empty();
    return result;
}

} // namespace sim
