// SPDX-License-Identifier: GPL-3.0-or-later
// calvyx-sim's Kermit and XModem roles: the calculator pushes files, fetches one, sends
// packets of its choosing, or asks for a file by XModem. Each role opens its end of the
// link, prints the name the program should open, waits --after MS for the program to
// open it, then plays its part. Exit 0 when the exchange succeeded, 1 when it did not.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tools/common/CommandTable.h"
#include "tools/sim/KermitRole.h"
#include "tools/sim/PortOptions.h"
#include "tools/sim/RoleCommand.h"
#include "util/CalvyxError.h"
#include "util/Utils.h"
#include "xmodem/XModemBlock.h"

namespace sim {
namespace {

const char* const RoleHelp =
    "  --after MS       wait before starting, for the program to open its end (default 1000)\n"
    "  --max-len N      longest frame the calculator sends, LEN 5..94 (default 80)\n"
    "  --start-seq N    sequence number of the first packet (default 0)\n";

// The options every role shares, taken out of args; the rest stays for the role.
struct RoleSetup {
    PortOptions port;
    KermitOptions kermit;
    int afterMs = 1000;
    std::string error;
};

bool TakeNumber(std::vector<std::string>& args, std::size_t i, int& out, std::string& error)
{
    if (i + 1 >= args.size()) {
        error = args[i] + " needs a value";
        return false;
    }
    // A negative --after would wait for ever, a negative --start-seq breaks the count.
    const auto v = tooling::WholeNumber(args[i + 1]);
    if (!v) {
        error = args[i] + ": not a whole number: " + args[i + 1];
        return false;
    }
    out = *v;
    args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    return true;
}

RoleSetup TakeRoleOptions(std::vector<std::string>& args)
{
    RoleSetup s;
    s.error = TakePortOptions(args, s.port);
    for (std::size_t i = 0; i < args.size() && s.error.empty();) {
        if (args[i] == "--after")
            TakeNumber(args, i, s.afterMs, s.error);
        else if (args[i] == "--max-len")
            TakeNumber(args, i, s.kermit.maxLen, s.error);
        else if (args[i] == "--start-seq")
            TakeNumber(args, i, s.kermit.startSeq, s.error);
        else
            ++i;
    }
    if (s.error.empty() && (s.kermit.maxLen < MinMaxLen || s.kermit.maxLen > MaxMaxLen))
        s.error = "--max-len must be " + std::to_string(MinMaxLen) + ".." + std::to_string(MaxMaxLen);
    return s;
}

bool WantsHelp(const std::vector<std::string>& args)
{
    for (const auto& a : args)
        if (a == "--help" || a == "-h") return true;
    return false;
}

int Usage(const char* synopsis, const char* extra = "")
{
    std::printf("usage: calvyx-sim %s\n\noptions:\n%s%s%s", synopsis, PortOptionsHelp, RoleHelp, extra);
    return 0;
}

int Bad(const std::string& why)
{
    std::fprintf(stderr, "calvyx-sim: %s\n", why.c_str());
    return 2;
}

int Report(const KermitResult& r, const std::string& what)
{
    for (const auto& p : r.received) std::printf("PC: %s\n", p.Describe().c_str());
    if (r.ok) {
        std::printf("%s: done\n", what.c_str());
        return 0;
    }
    std::fprintf(stderr, "%s: failed: %s\n", what.c_str(), r.error.c_str());
    return 1;
}

int RunPush(std::vector<std::string> args)
{
    const char* synopsis = "kermit-push [options] FILE...   (each pushed under its own name)";
    if (WantsHelp(args)) return Usage(synopsis);
    RoleSetup s = TakeRoleOptions(args);
    if (!s.error.empty()) return Bad(s.error);
    if (args.empty()) return Bad("kermit-push needs at least one file");
    const auto port = OpenSimPort(s.port);
    if (WaitForStop(s.afterMs)) return 1;
    KermitCalculator calc(*port, s.kermit);
    for (const auto& file : args) {
        const ByteString data = ReadFileToString(file);
        const auto start = std::chrono::steady_clock::now();
        const int rc = Report(calc.PushFile(FileNamePart(file), data), "push " + file);
        if (rc) return rc;
        // From the first packet to the answer to the last, for the benches.
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        std::printf("push %s: %zu bytes in %.3f s\n", file.c_str(), data.size(), took.count());
        std::fflush(stdout);
    }
    return 0;
}

int RunFetch(std::vector<std::string> args)
{
    const char* synopsis = "kermit-fetch [options] NAME [--out FILE]";
    if (WantsHelp(args)) return Usage(synopsis, "  --out FILE       where the fetched file goes (default: NAME here)\n");
    RoleSetup s = TakeRoleOptions(args);
    if (!s.error.empty()) return Bad(s.error);
    std::string out;
    for (std::size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == "--out") {
            out = args[i + 1];
            args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            break;
        }
    if (args.size() != 1) return Bad("kermit-fetch needs one file name");
    const auto port = OpenSimPort(s.port);
    if (WaitForStop(s.afterMs)) return 1;
    const KermitResult r = KermitCalculator(*port, s.kermit).FetchFile(args[0]);
    if (r.ok) WriteStringToFile(r.data, out.empty() ? FileNamePart(args[0]) : out);
    return Report(r, "fetch " + args[0]);
}

// Packets as the command line gives them: TYPE:SEQ[:TEXT], sent one by one; each
// answer is printed. Repeats and out-of-sequence numbers are simply written so.
int RunPackets(std::vector<std::string> args)
{
    const char* synopsis = "kermit-packets [options] TYPE:SEQ[:TEXT]...   e.g. S:0:p F:1:A.BIN D:2:abc D:2:abc E:3:oops";
    if (WantsHelp(args))
        return Usage(synopsis, "  --raw HEX        (as a packet) send bytes as they are, e.g. 80 for a screen push\n");
    RoleSetup s = TakeRoleOptions(args);
    if (!s.error.empty()) return Bad(s.error);
    const auto port = OpenSimPort(s.port);
    if (WaitForStop(s.afterMs)) return 1;
    KermitCalculator calc(*port, s.kermit);
    int rc = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--raw" && i + 1 < args.size()) {
            const auto bytes = ParseHex(args[++i]);
            if (!bytes) return Bad("--raw: not hex bytes: " + args[i]);
            port->Send(*bytes);
            continue;
        }
        const std::string& packet = args[i];
        const auto colon = packet.find(':');
        if (packet.empty() || colon != 1) return Bad("not TYPE:SEQ[:TEXT]: " + packet);
        const auto second = packet.find(':', 2);
        const int seq = std::atoi(packet.substr(2, second - 2).c_str());
        const std::string text = second == std::string::npos ? std::string() : packet.substr(second + 1);
        calc.SendPacket(packet[0], seq, text);
        const auto answer = calc.ReadPacket(s.kermit.replyTimeoutMs);
        std::printf("%s -> %s\n", packet.c_str(), answer ? answer->Describe().c_str() : "(no answer)");
        if (!answer) rc = 1;
    }
    return rc;
}

int RunXModem(std::vector<std::string> args)
{
    const char* synopsis = "xmodem-receive [options] [--crc] [--out FILE] [--nak-first] [--silent N] [--cancel-at N]";
    if (WantsHelp(args))
        return Usage(synopsis,
                     "  --crc            start with \"D\" (CRC blocks) instead of NAK (checksum)\n"
                     "  --out FILE       write the received data (padding included)\n"
                     "  --nak-first      refuse each block once with NAK\n"
                     "  --silent N       stay silent N times on the first block\n"
                     "  --cancel-at N    answer block N with CAN\n");
    RoleSetup s = TakeRoleOptions(args);
    if (!s.error.empty()) return Bad(s.error);
    XModemReceivePlan plan;
    plan.paceReceived = s.kermit.paceReceived;
    std::string out;
    int silent = 0, cancelAt = 0;
    bool nakFirst = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--crc")
            plan.startByte = xmodem::CrcStart;
        else if (a == "--nak-first")
            nakFirst = true;
        else if (a == "--out" && hasValue)
            out = args[++i];
        else if ((a == "--silent" || a == "--cancel-at") && hasValue) {
            const auto n = tooling::WholeNumber(args[++i]);
            if (!n) return Bad(a + ": not a whole number: " + args[i]);
            (a == "--silent" ? silent : cancelAt) = *n;
        } else
            return Bad("xmodem-receive: unknown option " + a);
    }
    plan.reply = [=](unsigned block, int arrival) -> uint8_t {
        if (cancelAt > 0 && block == static_cast<unsigned>(cancelAt)) return xmodem::CAN;
        if (block == 1 && arrival <= silent) return 0;
        if (nakFirst && arrival == 1) return xmodem::NAK;
        return xmodem::ACK;
    };
    const auto port = OpenSimPort(s.port);
    if (WaitForStop(s.afterMs)) return 1;
    const XModemReceiveResult r = ReceiveByXModem(*port, plan);
    std::printf("blocks: %zu accepted, %d seen, %d EOT\n", r.blockSizes.size(), r.blocksSeen, r.eots);
    if (!out.empty() && r.ok) WriteStringToFile(r.data, out);
    if (r.ok) {
        std::printf("received %zu bytes\n", r.data.size());
        return 0;
    }
    std::fprintf(stderr, "xmodem-receive: failed: %s\n", r.error.c_str());
    return 1;
}

const tooling::CommandRegistration pushCommand{{"kermit-push", "push files to the PC's Kermit server", RunPush}};
const tooling::CommandRegistration fetchCommand{{"kermit-fetch", "ask the PC's Kermit server for a file", RunFetch}};
const tooling::CommandRegistration packetsCommand{
    {"kermit-packets", "send Kermit packets one by one, print the answers", RunPackets}};
const tooling::CommandRegistration xmodemCommand{{"xmodem-receive", "ask for a file by XModem and receive it", RunXModem}};

} // namespace
} // namespace sim
