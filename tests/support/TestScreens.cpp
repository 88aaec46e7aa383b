// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/TestScreens.h"

#include <algorithm>
#include <string>

MonoBitmap GraphScreen()
{
    MonoBitmap screen(ScreenWidth, ScreenHeight);
    for (int x = 0; x < ScreenWidth; ++x) screen.Set(x, 32, true);
    for (int y = 0; y < ScreenHeight; ++y) screen.Set(65, y, true);
    for (int x = 5; x < ScreenWidth; x += 10) screen.Set(x, 31, true), screen.Set(x, 33, true);
    for (int y = 2; y < ScreenHeight; y += 10) screen.Set(64, y, true), screen.Set(66, y, true);
    int previous = -1;
    for (int x = 0; x < ScreenWidth; ++x) {
        const int y = 60 - (x - 65) * (x - 65) / 75;
        if (y >= 0 && previous >= 0)
            for (int v = std::min(y, previous); v <= std::max(y, previous); ++v) screen.Set(x, v, true);
        else if (y >= 0)
            screen.Set(x, y, true);
        previous = y;
    }
    // An L in the top-left corner and a block near the bottom-right one.
    for (int i = 2; i < 10; ++i) screen.Set(i, 2, true), screen.Set(2, i, true);
    for (int y = 57; y < 61; ++y)
        for (int x = 125; x < 129; ++x) screen.Set(x, y, true);
    // The far corner pixel.
    screen.Set(130, 63, true);
    return screen;
}

bool SameMonoPicture(const QImage& a, const QImage& b, std::string* why)
{
    if (a.size() != b.size()) {
        *why = "size " + std::to_string(a.width()) + "x" + std::to_string(a.height()) + " vs " + std::to_string(b.width()) + "x" +
               std::to_string(b.height());
        return false;
    }
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const bool blackA = qGray(a.pixel(x, y)) < 128;
            const bool blackB = qGray(b.pixel(x, y)) < 128;
            if (blackA != blackB) {
                *why = "pixel " + std::to_string(x) + "," + std::to_string(y) + " differs";
                return false;
            }
        }
    return true;
}
