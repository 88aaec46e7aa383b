// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A broken promise found by a fuzz target: says which one on stderr and aborts, which
// libFuzzer reports as a crash and keeps the input that caused it.
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                                                         \
    do {                                                                                                                         \
        if (!(cond)) {                                                                                                           \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);                                        \
            std::abort();                                                                                                        \
        }                                                                                                                        \
    } while (0)

// Marks a function of the harness itself (building the expected result, comparing it
// pixel by pixel) that libFuzzer should not trace: its comparisons are not the code
// under test, and traced once per pixel they took most of the run time.
#define FUZZ_HARNESS_ONLY __attribute__((no_sanitize("coverage")))
