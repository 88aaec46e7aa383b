// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's version as compiled into the executable, and its display text.
#include <cstdint>
#include <optional>
#include <string>

// The four numbers of a version, each from 0 to 65535.
struct ProgramVersion {
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t patch = 0;
    uint16_t build = 0;
};

// The version built into this executable, or nothing when it was built without one.
std::optional<ProgramVersion> ExecutableVersion();

// "Version <major>.<minor> Build <build>" (the patch number is not shown), or
// "-.-.-.-" without a version.
std::string FormatVersionString(const std::optional<ProgramVersion>& version);
// The text for the running executable.
std::string GetVersionString();

// All four numbers, "<major>.<minor>.<patch>.<build>" ("2.1.0.1328"), as the programs'
// --version prints them after their name; "-.-.-.-" without a version.
std::string FormatVersionNumber(const std::optional<ProgramVersion>& version);
// The number of the running executable.
std::string GetVersionNumber();
