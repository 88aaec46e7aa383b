// SPDX-License-Identifier: GPL-3.0-or-later
// Built with the include path of the link layer: a window header lies above it and must
// not resolve. The test that builds this expects the compiler to say so.
#include "windows/LogWindow.h"

int LayeringProbeUp() { return 0; }
