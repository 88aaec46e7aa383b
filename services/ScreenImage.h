// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The calculator's screen as it arrives over the link: 1090 bytes, a header byte, one
// byte not interpreted, then the 131 x 64 monochrome pixels in one of two layouts.
// A set bit is a black pixel. Pure functions: no link, no Qt.
#include <cstdint>
#include <vector>

#include "util/ByteString.h"

inline constexpr int ScreenWidth = 131;
inline constexpr int ScreenHeight = 64;
inline constexpr std::size_t ScreenImageSize = 1090;
inline constexpr std::size_t ScreenDataOffset = 2;
// Header byte of a screen in PageLayout; any other header means RowLayout.
inline constexpr uint8_t PageLayoutHeader = 0x1B;
// The header of a screen pushed while the Kermit server listened.
inline constexpr uint8_t PushedScreenHeader = 0x80;
// RowLayout: 64 rows of 17 bytes, bit 0 the leftmost pixel of its byte.
inline constexpr int RowLayoutRowBytes = 17;
// PageLayout: 8 pages of 135 one-byte columns, bit 0 the top row of the page.
inline constexpr int PageLayoutPageBytes = 135;

enum class ScreenLayout { RowLayout, PageLayout };

ScreenLayout LayoutOfScreen(const ByteString& image);

// Offset of the byte and the bit that hold pixel (x, y) in the layout.
struct PixelBit {
    std::size_t offset;
    int bit;
};
PixelBit PixelLocation(ScreenLayout layout, int x, int y);

// A picture of one bit per pixel, row by row; true is black.
struct MonoBitmap {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels; // Width * Height, 0 white, 1 black

    MonoBitmap() = default;
    MonoBitmap(int width, int height)
        : Width(width), Height(height), Pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0)
    {
    }
    bool Black(int x, int y) const { return Pixels[Index(x, y)] != 0; }
    void Set(int x, int y, bool black) { Pixels[Index(x, y)] = black ? 1 : 0; }
    // The place of pixel (x, y) in Pixels.
    std::size_t Index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x);
    }
    bool operator==(const MonoBitmap&) const = default;
};

// The 131 x 64 screen in the layout its header selects. Pixels whose byte lies past
// the end of a short image stay white; an empty image is a white screen.
MonoBitmap DecodeScreen(const ByteString& image);

// The inverse, for the virtual calculator and the tests: a complete 1090-byte image
// with the given header (its layout follows from the header byte).
ByteString EncodeScreen(const MonoBitmap& screen, uint8_t header);

// The capture window's picture: W = 131 + 4B by H = 64 + 4B, white, a solid black
// frame B pixels wide along the edges, B white pixels inside it, and the screen at
// (2B, 2B). Border is clamped to 0..MaxBorderWidth.
inline constexpr int MaxBorderWidth = 5;
MonoBitmap FramedScreenPicture(const ByteString& image, int border);
