// SPDX-License-Identifier: GPL-3.0-or-later
// calvyx-sim class: a class of virtual calculators at once, each a calvyx-sim of its own
// playing its own role with its own files on its own pseudo-terminal (or pipe device
// root). The roles are given one after the other, separated by "::"; --copies N plays
// each of them N times. In a role's words "{n}" becomes the calculator's number (1, 2,
// ...), so that each has files of its own. Every line a calculator prints comes out
// after "N: "; its first is the name the program opens. Ends when every calculator has
// ended: exit 0 when all succeeded, else the first failure's code.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "tools/common/CommandTable.h"
#include "tools/sim/PortOptions.h"
#include "tools/sim/UsbBusPort.h"

extern char** environ;

namespace sim {
namespace {

const char* const ClassHelp =
    "usage: calvyx-sim class [--copies N] ROLE [ARGS...] [:: ROLE [ARGS...]]...\n"
    "\n"
    "Plays a class of calculators at once, each a calvyx-sim ROLE of its own (kermit-push,\n"
    "rom-load, ...) with its own pseudo-terminal and its own options.\n"
    "  --copies N       play each role N times (default 1)\n"
    "  {n}              in a role's words: the calculator's number, 1, 2, ...\n"
    "Each line of calculator n comes out as \"n: LINE\"; its first line is the name the\n"
    "program opens. Exit 0 when every calculator succeeded, else the first failure's code.\n"
    "  calvyx-sim class --copies 30 kermit-push --throttle --after 3000 answers/{n}.txt\n"
    "\n"
    "  --usb-device ... -- PROGRAM [ARGS...]\n"
    "                   the calculators are USB devices of one id (usb:1e3a:0401, product\n"
    "                   \"QV T20+\") on one bus, calculator n in the socket usb:1-2.n, and\n"
    "                   PROGRAM is started to see that bus (umockdev); the roles play in\n"
    "                   this process and their lines are not numbered. Exit code as for\n"
    "                   a role with --usb-device.\n"
    "  calvyx-sim class --copies 8 --usb-device rom-load os.bin -- calvyx-cli rom --all os.bin\n";

struct Calculator {
    int number = 0;
    std::vector<std::string> args;
    pid_t pid = -1;
    int out = -1; // its stdout, read here
    std::string pending;
    int rc = -1;
};

std::string Numbered(std::string word, int n)
{
    for (auto at = word.find("{n}"); at != std::string::npos; at = word.find("{n}", at)) word.replace(at, 3, std::to_string(n));
    return word;
}

void PrintLines(Calculator& c, bool all)
{
    for (auto end = c.pending.find('\n'); end != std::string::npos || (all && !c.pending.empty()); end = c.pending.find('\n')) {
        std::printf("%d: %s\n", c.number, c.pending.substr(0, end).c_str());
        c.pending.erase(0, end == std::string::npos ? c.pending.size() : end + 1);
    }
    std::fflush(stdout);
}

bool Start(Calculator& c, const std::string& self)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(self.c_str()));
    for (auto& a : c.args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int r = ::posix_spawn(&c.pid, self.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (r != 0) {
        ::close(pipeFds[0]);
        std::fprintf(stderr, "calvyx-sim class: calculator %d does not start: %s\n", c.number, std::strerror(r));
        return false;
    }
    c.out = pipeFds[0];
    return true;
}

// The calculators as USB devices of one bus, each role in a thread of its own.
int PlayOnOneBus(std::vector<Calculator>& calculators, const std::vector<std::string>& program)
{
    const int count = static_cast<int>(calculators.size());
    // A bus holds 127 addresses; the hub of the class has one port a calculator.
    constexpr int MaxOnOneBus = 100;
    if (count > MaxOnOneBus) {
        std::fprintf(stderr, "calvyx-sim class: at most %d calculators on one USB bus\n", MaxOnOneBus);
        return 2;
    }
    UsbClassBus bus(count);
    for (int n = 1; n <= count; ++n)
        std::fprintf(stderr, "calvyx-sim: calculator %d is the USB device in %s\n", n, bus.SocketName(n).c_str());
    std::optional<BusProgram> started;
    started.emplace(program, bus.TestbedRoot());
    std::vector<std::thread> players;
    for (auto& c : calculators) {
        players.emplace_back([&bus, &c] {
            SetThreadPort([&bus, &c] { return bus.Port(c.number); });
            const tooling::Command* role = tooling::ProgramCommands().Find(c.args.front());
            try {
                c.rc = role ? role->run(std::vector<std::string>(c.args.begin() + 1, c.args.end())) : 2;
            } catch (const std::exception& e) {
                std::fprintf(stderr, "calvyx-sim class: calculator %d: %s\n", c.number, e.what());
                c.rc = 1;
            }
            if (!role) std::fprintf(stderr, "calvyx-sim class: no role %s\n", c.args.front().c_str());
        });
    }
    for (auto& p : players) p.join();
    started.reset(); // the program ends first, then the calculators leave the bus
    int rc = 0;
    for (const auto& c : calculators) {
        if (c.rc != 0) std::fprintf(stderr, "calvyx-sim class: calculator %d ended with %d\n", c.number, c.rc);
        if (rc == 0) rc = c.rc;
    }
    return rc;
}

int RunClass(std::vector<std::string> args)
{
    for (const auto& a : args)
        if (a == "--help" || a == "-h") {
            std::printf("%s", ClassHelp);
            return 0;
        }
    int copies = 1;
    if (args.size() >= 2 && args[0] == "--copies") {
        const auto n = tooling::WholeNumber(args[1], 1, 1000);
        if (!n) {
            std::fprintf(stderr, "calvyx-sim class: --copies takes 1 to 1000, not %s\n", args[1].c_str());
            return 2;
        }
        copies = *n;
        args.erase(args.begin(), args.begin() + 2);
    }
    bool usb = false;
    if (!args.empty() && args[0] == "--usb-device") {
        usb = true;
        args.erase(args.begin());
    }
    std::vector<std::string> program;
    if (const auto dashes = std::find(args.begin(), args.end(), "--"); dashes != args.end()) {
        program.assign(dashes + 1, args.end());
        args.erase(dashes, args.end());
    }
    if (usb != !program.empty()) {
        std::fprintf(stderr, "calvyx-sim class: --usb-device goes with -- PROGRAM [ARGS...], and only with it\n");
        return 2;
    }
    std::vector<std::vector<std::string>> roles(1);
    for (const auto& a : args) {
        if (a == "::")
            roles.emplace_back();
        else
            roles.back().push_back(a);
    }
    for (const auto& role : roles)
        if (role.empty() || role[0] == "class" || role[0].rfind("--", 0) == 0) {
            std::fprintf(stderr, "calvyx-sim class: each role starts with its name (and is no class)\n%s", ClassHelp);
            return 2;
        }

    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) {
        std::fprintf(stderr, "calvyx-sim class: cannot find this program: %s\n", std::strerror(errno));
        return 1;
    }
    self[n] = '\0';

    std::vector<Calculator> calculators;
    for (const auto& role : roles)
        for (int copy = 0; copy < copies; ++copy) {
            Calculator c;
            c.number = static_cast<int>(calculators.size()) + 1;
            for (const auto& word : role) c.args.push_back(Numbered(word, c.number));
            calculators.push_back(std::move(c));
        }
    if (usb) return PlayOnOneBus(calculators, program);
    int running = 0;
    for (auto& c : calculators) {
        if (Start(c, self))
            ++running;
        else
            c.rc = 1;
    }

    bool stopped = false;
    while (running > 0) {
        if (StopRequested() && !stopped) {
            // The calculators unplug (their pseudo-terminals close) on their way out.
            for (const auto& c : calculators)
                if (c.out >= 0) ::kill(c.pid, SIGTERM);
            stopped = true;
        }
        std::vector<pollfd> fds;
        std::vector<Calculator*> of;
        for (auto& c : calculators)
            if (c.out >= 0) {
                fds.push_back({c.out, POLLIN, 0});
                of.push_back(&c);
            }
        // Woken by output or an end; the stop is looked at every 200 ms.
        const int ready = ::poll(fds.data(), fds.size(), 200);
        if (ready < 0 && errno != EINTR) break;
        for (std::size_t i = 0; ready > 0 && i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            Calculator& c = *of[i];
            char buf[4096];
            const ssize_t got = ::read(c.out, buf, sizeof buf);
            if (got > 0) {
                c.pending.append(buf, static_cast<std::size_t>(got));
                PrintLines(c, false);
                continue;
            }
            if (got < 0 && errno == EINTR) continue;
            // Its end of the pipe closed: it has ended, or is about to.
            PrintLines(c, true);
            ::close(c.out);
            c.out = -1;
            int status = 0;
            while (::waitpid(c.pid, &status, 0) < 0 && errno == EINTR) {}
            c.rc = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
            --running;
        }
    }
    int rc = 0;
    for (const auto& c : calculators) {
        if (c.rc != 0) std::fprintf(stderr, "calvyx-sim class: calculator %d ended with %d\n", c.number, c.rc);
        if (rc == 0) rc = c.rc;
    }
    return rc;
}

const tooling::CommandRegistration classCommand{{"class", "play several calculators at once, each with its own role", RunClass}};

} // namespace
} // namespace sim
