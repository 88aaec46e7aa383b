// SPDX-License-Identifier: GPL-3.0-or-later
#include "kermit/ReceivedFile.h"

namespace kermit {

bool IsSafeFileName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("/\\:\0", 4)) == std::string_view::npos;
}

} // namespace kermit
