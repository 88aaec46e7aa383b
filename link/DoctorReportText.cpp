// SPDX-License-Identifier: GPL-3.0-or-later
// The doctor's findings as text, the same on every system.
#include <cstdio>

#include "link/ConnectionDoctor.h"

std::string FormatDoctorReport(const DoctorReport& report)
{
    const auto severity = [](FindingSeverity s) {
        switch (s) {
        case FindingSeverity::Ok:
            return "ok";
        case FindingSeverity::Warning:
            return "warning";
        case FindingSeverity::Problem:
            return "PROBLEM";
        }
        return "?";
    };
    std::string text;
    std::string subject;
    char line[32];
    for (const auto& f : report.findings) {
        if (f.subject != subject || text.empty()) {
            subject = f.subject;
            text += subject + "\n";
        }
        std::snprintf(line, sizeof line, "  %-8s ", severity(f.severity));
        text += line + f.found + "\n";
        if (!f.fix.empty()) text += std::string(11, ' ') + "fix: " + f.fix + "\n";
    }
    text += report.calculatorUsable ? "result: a calculator connection can be opened\n"
                                    : "result: no calculator connection can be opened\n";
    return text;
}
