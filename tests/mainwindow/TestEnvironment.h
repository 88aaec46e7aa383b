// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main-window tests run with their own configuration, runtime, data and device
// folders (set before the application starts), so they never touch the user's settings
// and each test can start from an empty settings store.
#include <QString>

namespace mwtest {
// The temporary root under which the XDG folders of this test program live.
QString EnvRoot();
// Empties the program's settings store.
void ClearSettings();
} // namespace mwtest
