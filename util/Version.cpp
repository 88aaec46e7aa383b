// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/Version.h"

#include <cstdio>

std::optional<ProgramVersion> ExecutableVersion()
{
#if defined(CALVYX_VERSION_MAJOR) && defined(CALVYX_VERSION_MINOR) && defined(CALVYX_VERSION_PATCH) &&                           \
    defined(CALVYX_VERSION_TWEAK)
    // An empty project version part expands to nothing; "0" stands in for it.
    return ProgramVersion{static_cast<uint16_t>(CALVYX_VERSION_MAJOR + 0), static_cast<uint16_t>(CALVYX_VERSION_MINOR + 0),
                          static_cast<uint16_t>(CALVYX_VERSION_PATCH + 0), static_cast<uint16_t>(CALVYX_VERSION_TWEAK + 0)};
#else
    return std::nullopt;
#endif
}

std::string FormatVersionString(const std::optional<ProgramVersion>& version)
{
    if (!version) return "-.-.-.-";
    char text[64];
    std::snprintf(text, sizeof text, "Version %u.%u Build %u", unsigned{version->major}, unsigned{version->minor},
                  unsigned{version->build});
    return text;
}

std::string GetVersionString() { return FormatVersionString(ExecutableVersion()); }

std::string FormatVersionNumber(const std::optional<ProgramVersion>& version)
{
    if (!version) return "-.-.-.-";
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", unsigned{version->major}, unsigned{version->minor}, unsigned{version->patch},
                  unsigned{version->build});
    return text;
}

std::string GetVersionNumber() { return FormatVersionNumber(ExecutableVersion()); }
