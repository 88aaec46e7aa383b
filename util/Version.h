#pragma once
// The program's version as compiled into the executable, and its display text.
#include <cstdint>
#include <optional>
#include <string>

// A file version as the executable's version block holds it: four 16-bit numbers in
// two 32-bit halves (most significant half: major, minor; least: patch, build).
struct FileVersion {
    uint32_t MostSignificant = 0;
    uint32_t LeastSignificant = 0;
};
FileVersion MakeFileVersion(uint32_t major, uint32_t minor, uint32_t patch, uint32_t build);

// The version built into this executable, or nothing when it was built without one.
std::optional<FileVersion> ExecutableFileVersion();

// "Version <major>.<minor> Build <build>" (the patch number is not shown), or
// "-.-.-.-" without a version.
std::string FormatVersionString(const std::optional<FileVersion>& version);
// The text for the running executable.
std::string GetVersionString();

// All four numbers, "<major>.<minor>.<patch>.<build>" ("2.1.0.1328"), as the programs'
// --version prints them after their name; "-.-.-.-" without a version.
std::string FormatVersionNumber(const std::optional<FileVersion>& version);
// The number of the running executable.
std::string GetVersionNumber();
