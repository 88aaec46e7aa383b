// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calculator pushing its screen (ON and 1 pressed together): the 1090-byte screen
// image, header 0x80 for the row layout or 0x1B for the page layout, sent in bursts as
// the calculator's link delivers them.
#include <string>

#include "services/ScreenImage.h"

namespace sim {

// Named test pictures: "checker" (alternate pixels), "frame" (a one-pixel outline and a
// diagonal), "corners" (the four corner pixels), "blank", "full". False when the name is
// unknown.
bool PatternScreen(const std::string& name, MonoBitmap& screen);
// A picture file Qt can read, scaled to 131 x 64; dark pixels become black.
bool PictureScreen(const std::string& path, MonoBitmap& screen, std::string& error);

} // namespace sim
