#include "tools/cli/Terminal.h"

#include <cstdio>
#include <unistd.h>

#include "util/Ticks.h"

namespace cli {

namespace {
constexpr uint32_t ProgressLineEveryMs = 2000;
constexpr int BarWidth = 30;

// The three-line progress text on one line: "2048/4096 bytes (50%) 1023 bytes/s".
std::string OneLine(std::string text)
{
    std::string out;
    for (char c : text) {
        if (c == '\r') continue;
        out += c == '\n' ? ' ' : c;
    }
    return out;
}
} // namespace

void PrintLine(const std::string& line)
{
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
}

TerminalStatusDialog::TerminalStatusDialog() : tty_(::isatty(STDOUT_FILENO) == 1) {}

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
    PrintLine("== " + caption);
}

void TerminalStatusDialog::UpdateStatus(const std::string& text, int kind, int done, int total, int)
{
    if (!visible_) return; // like the dialog: a hidden one shows and logs nothing
    if (kind == 2) {
        const std::string line = OneLine(text);
        if (tty_) {
            const int filled = total > 0 ? static_cast<int>(static_cast<int64_t>(done) * BarWidth / total) : 0;
            std::fprintf(stdout, "\r[%s%s] %s\x1b[K", std::string(static_cast<std::size_t>(filled), '#').c_str(),
                         std::string(static_cast<std::size_t>(BarWidth - filled), ' ').c_str(), line.c_str());
            std::fflush(stdout);
            barShown_ = true;
        } else if (!anyProgressLine_ || TicksSince(lastProgressLine_) >= ProgressLineEveryMs) {
            PrintLine(line);
            lastProgressLine_ = Now();
            anyProgressLine_ = true;
        }
        return;
    }
    EndBar();
    if (!text.empty()) PrintLine(OneLine(text));
    if (kind == 3) {
        visible_ = false;
        PrintLine("== done");
    }
}

void TerminalStatusDialog::HideStatus()
{
    EndBar();
    if (visible_) PrintLine("== failed");
    visible_ = false;
}

void TerminalHost::ShowMessage(const std::string& text, const std::string& caption)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

std::optional<std::string> TerminalHost::ChooseFileToSend(const std::string& title, const std::string&)
{
    if (xmodemFile) {
        PrintLine(title + ": " + *xmodemFile);
        return xmodemFile;
    }
    PrintLine(title + ": declined (no --xmodem-file given)");
    return std::nullopt;
}

std::unique_ptr<IStatusDialog> TerminalHost::CreateStatusDialog() { return std::make_unique<TerminalStatusDialog>(); }

TerminalWindows::TerminalWindows()
{
    SetGlobalStatusDialog(&dialog);
    SetHost(&host);
}

TerminalWindows::~TerminalWindows()
{
    SetGlobalStatusDialog(nullptr);
    SetHost(nullptr);
}

} // namespace cli
