// SPDX-License-Identifier: GPL-3.0-or-later
// Built with the include path of the link layer: a header of the link itself and of
// util below it resolve.
#include "link/Link.h"
#include "util/ByteString.h"

int LayeringProbeDown() { return static_cast<int>(LinkBaud); }
