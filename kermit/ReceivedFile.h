// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The files the calculator names in F and R packets live in the engine's folder and
// nowhere else (a received file is written through ReplacementFile, util/).
#include <string_view>

namespace kermit {

// A plain file name: not empty, not "." or "..", no folder separator of any platform,
// no drive colon, no NUL. Anything else could leave the folder.
bool IsSafeFileName(std::string_view name);

} // namespace kermit
