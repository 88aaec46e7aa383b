// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Calculator screens for the tests: a recognisable picture (axes, a parabola and
// orientation marks) built from integers only, so it is the same on every machine.
#include <QImage>

#include "services/ScreenImage.h"

MonoBitmap GraphScreen();
// True when both images have the same size and the same black/white pixels; otherwise
// false with the first difference in *why.
bool SameMonoPicture(const QImage& a, const QImage& b, std::string* why);
