#include "util/Version.h"

#include <cstdio>

FileVersion MakeFileVersion(uint32_t major, uint32_t minor, uint32_t patch, uint32_t build)
{
    return {((major & 0xFFFFu) << 16) | (minor & 0xFFFFu), ((patch & 0xFFFFu) << 16) | (build & 0xFFFFu)};
}

std::optional<FileVersion> ExecutableFileVersion()
{
#if defined(CALVYX_VERSION_MAJOR) && defined(CALVYX_VERSION_MINOR) && defined(CALVYX_VERSION_PATCH) \
    && defined(CALVYX_VERSION_TWEAK)
    // An empty project version part expands to nothing; "0" stands in for it.
    return MakeFileVersion(CALVYX_VERSION_MAJOR + 0, CALVYX_VERSION_MINOR + 0, CALVYX_VERSION_PATCH + 0,
                           CALVYX_VERSION_TWEAK + 0);
#else
    return std::nullopt;
#endif
}

std::string FormatVersionString(const std::optional<FileVersion>& version)
{
    if (!version) return "-.-.-.-";
    char text[64];
    std::snprintf(text, sizeof text, "Version %u.%u Build %u", version->MostSignificant >> 16,
                  version->MostSignificant & 0xFFFFu, version->LeastSignificant & 0xFFFFu);
    return text;
}

std::string GetVersionString() { return FormatVersionString(ExecutableFileVersion()); }

std::string FormatVersionNumber(const std::optional<FileVersion>& version)
{
    if (!version) return "-.-.-.-";
    char text[64];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", version->MostSignificant >> 16, version->MostSignificant & 0xFFFFu,
                  version->LeastSignificant >> 16, version->LeastSignificant & 0xFFFFu);
    return text;
}

std::string GetVersionNumber() { return FormatVersionNumber(ExecutableFileVersion()); }
