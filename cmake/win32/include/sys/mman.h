// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Windows: the anonymous pages of mmap() come from util/PosixWin32.h (VirtualAlloc).
#include "util/PosixWin32.h"
