// SPDX-License-Identifier: GPL-3.0-or-later
// Windows: a console's input handle is waited on beside the stop event; a pipe or file
// on standard input is read as it comes (it ends by itself).
#include <windows.h>

#include "tools/cli/AnswerInput.h"
#include "util/StopSignal.h"

namespace cli {

std::optional<std::string> ReadAnswer(const StopSignal* stopSignal)
{
    HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) return std::nullopt;
    const bool console = ::GetFileType(input) == FILE_TYPE_CHAR;
    HANDLE stop = stopSignal && stopSignal->Fd() != -1 ? LongToHandle(stopSignal->Fd()) : nullptr;
    std::string line;
    for (;;) {
        if (console) {
            HANDLE waits[2] = {input, stop};
            const DWORD r = ::WaitForMultipleObjects(stop ? 2 : 1, waits, FALSE, INFINITE);
            if (r != WAIT_OBJECT_0) return std::nullopt;
            // Key releases and focus changes signal the handle too: read only when a
            // key press is there, or the read would wait without the stop.
            DWORD events = 0;
            INPUT_RECORD record{};
            if (!::PeekConsoleInputW(input, &record, 1, &events)) return std::nullopt;
            if (events > 0 && !(record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown)) {
                ::ReadConsoleInputW(input, &record, 1, &events);
                continue;
            }
        } else if (stopSignal && stopSignal->Raised()) {
            return std::nullopt;
        }
        char buf[256];
        DWORD got = 0;
        if (!::ReadFile(input, buf, sizeof buf, &got, nullptr) || got == 0) return std::nullopt;
        line.append(buf, got);
        if (const auto end = line.find('\n'); end != std::string::npos) {
            line.resize(end);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
    }
}

} // namespace cli
