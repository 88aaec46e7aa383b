#pragma once
// The calculator pushing its screen (ON and 1 pressed together): 1090 bytes, a header
// byte (0x80 for the row layout, 0x1B for the page layout), one byte of no meaning and
// the 131 x 64 pixels, sent in bursts as the calculator's link delivers them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/sim/SimPort.h"
#include "util/ByteString.h"

namespace sim {

inline constexpr int SimScreenWidth = 131;
inline constexpr int SimScreenHeight = 64;
inline constexpr std::size_t SimScreenBytes = 1090;
inline constexpr uint8_t RowScreenHeader = 0x80;
inline constexpr uint8_t PageScreenHeader = 0x1B;

enum class SimScreenLayout { Row, Page };

// The calculator's display: true is a black pixel. Index y * 131 + x.
struct SimScreen {
    std::vector<bool> black = std::vector<bool>(SimScreenWidth * SimScreenHeight, false);
    bool At(int x, int y) const { return black[static_cast<std::size_t>(y * SimScreenWidth + x)]; }
    void Set(int x, int y, bool on) { black[static_cast<std::size_t>(y * SimScreenWidth + x)] = on; }
};

// Named test pictures: "checker" (alternate pixels), "frame" (a one-pixel outline and a
// diagonal), "corners" (the four corner pixels and pixel (130, 0) of the first row),
// "blank", "full". False when the name is unknown.
bool PatternScreen(const std::string& name, SimScreen& screen);
// A picture file Qt can read, scaled to 131 x 64; dark pixels become black.
bool PictureScreen(const std::string& path, SimScreen& screen, std::string& error);

// The 1090 bytes the calculator sends for the screen in the given layout.
ByteString EncodeScreen(const SimScreen& screen, SimScreenLayout layout);

} // namespace sim
