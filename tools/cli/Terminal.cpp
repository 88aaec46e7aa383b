// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/cli/Terminal.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

#include "tools/cli/AnswerInput.h"
#include "util/StopSignal.h"
#include "util/Ticks.h"

namespace cli {

namespace {
constexpr uint32_t ProgressLineEveryMs = 2000;
constexpr int BarWidth = 30;
} // namespace

std::string OneLine(const std::string& text)
{
    std::string out;
    bool atBreak = false;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            while (!out.empty() && out.back() == ' ') out.pop_back();
            atBreak = true;
        } else if (atBreak && c == ' ') {
            continue;
        } else {
            if (atBreak && !out.empty()) out += ' ';
            atBreak = false;
            out += c;
        }
    }
    return out;
}

void PrintLine(const std::string& line)
{
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
}

TerminalStatusDialog::TerminalStatusDialog(std::string prefix)
    : prefix_(std::move(prefix)), tty_(prefix_.empty() && ::isatty(STDOUT_FILENO) == 1)
{
}

void TerminalStatusDialog::Print(const std::string& line) const { PrintLine(prefix_ + line); }

void TerminalStatusDialog::EndBar()
{
    if (!barShown_) return;
    std::fputc('\n', stdout);
    barShown_ = false;
}

void TerminalStatusDialog::OpenStatus(const std::string& caption, bool)
{
    EndBar();
    anyProgressLine_ = false;
    visible_ = true;
    Print("== " + caption);
}

void TerminalStatusDialog::UpdateStatus(const StatusReport& report)
{
    const std::string& text = report.text;
    const int done = report.done;
    const int total = report.total;
    if (!visible_) return; // like the dialog: a hidden one shows and logs nothing
    if (report.kind == StatusKind::Progress) {
        const std::string line = OneLine(text);
        if (tty_) {
            const int filled = total > 0 ? static_cast<int>(static_cast<int64_t>(done) * BarWidth / total) : 0;
            std::fprintf(stdout, "\r[%s%s] %s\x1b[K", std::string(static_cast<std::size_t>(filled), '#').c_str(),
                         std::string(static_cast<std::size_t>(BarWidth - filled), ' ').c_str(), line.c_str());
            std::fflush(stdout);
            barShown_ = true;
        } else if (!anyProgressLine_ || TicksSince(lastProgressLine_) >= ProgressLineEveryMs) {
            Print(line);
            lastProgressLine_ = Now();
            anyProgressLine_ = true;
        }
        return;
    }
    EndBar();
    if (!text.empty()) Print(OneLine(text));
    if (report.kind == StatusKind::Finished) {
        visible_ = false;
        Print("== done");
    }
}

void TerminalStatusDialog::HideStatus()
{
    EndBar();
    if (visible_) Print("== failed");
    visible_ = false;
}

void TerminalHost::ShowMessage(const std::string& text, const std::string& caption)
{
    std::fprintf(stderr, "%s%s: %s\n", prefix.c_str(), caption.c_str(), text.c_str());
}

std::optional<std::string> TerminalHost::ChooseFileToSend(const std::string& title, const std::string& initialPath)
{
    if (xmodemFile) {
        PrintLine(prefix + title + ": " + *xmodemFile);
        return xmodemFile;
    }
    if (::isatty(STDIN_FILENO) != 1) {
        PrintLine(prefix + title + ": declined (no --xmodem-file given)");
        return std::nullopt;
    }
    // The chooser starts in the served folder ("folder/*.*").
    const auto slash = initialPath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : initialPath.substr(0, slash);
    PrintLine(prefix + title + ": type a file name in " + folder + " or a path, then Enter (an empty line declines)");
    const auto answer = ReadAnswer(stopSignal);
    if (!answer || answer->empty()) {
        PrintLine(prefix + title + ": declined");
        return std::nullopt;
    }
    // A bare name is in the served folder; anything with a slash is a path as typed.
    const std::string path = answer->find('/') == std::string::npos ? folder + "/" + *answer : *answer;
    PrintLine(prefix + title + ": " + path);
    return path;
}

std::unique_ptr<IStatusDialog> TerminalHost::CreateStatusDialog() { return std::make_unique<TerminalStatusDialog>(prefix); }

} // namespace cli
