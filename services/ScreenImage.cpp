// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/ScreenImage.h"

#include <algorithm>

ScreenLayout LayoutOfScreen(const ByteString& image)
{
    return !image.empty() && ByteAt(image, 0) == PageLayoutHeader ? ScreenLayout::PageLayout : ScreenLayout::RowLayout;
}

PixelBit PixelLocation(ScreenLayout layout, int x, int y)
{
    if (layout == ScreenLayout::PageLayout)
        return {ScreenDataOffset + std::size_t(PageLayoutPageBytes) * static_cast<std::size_t>(y / 8) +
                    static_cast<std::size_t>(x),
                y % 8};
    return {ScreenDataOffset + std::size_t(RowLayoutRowBytes) * static_cast<std::size_t>(y) + static_cast<std::size_t>(x / 8),
            x % 8};
}

MonoBitmap DecodeScreen(const ByteString& image)
{
    MonoBitmap screen(ScreenWidth, ScreenHeight);
    const ScreenLayout layout = LayoutOfScreen(image);
    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x) {
            const PixelBit at = PixelLocation(layout, x, y);
            if (at.offset < image.size() && (ByteAt(image, at.offset) >> at.bit) & 1) screen.Set(x, y, true);
        }
    return screen;
}

ByteString EncodeScreen(const MonoBitmap& screen, uint8_t header)
{
    ByteString image(ScreenImageSize, '\0');
    image[0] = static_cast<char>(header);
    const ScreenLayout layout = LayoutOfScreen(image);
    for (int y = 0; y < std::min(screen.Height, ScreenHeight); ++y)
        for (int x = 0; x < std::min(screen.Width, ScreenWidth); ++x)
            if (screen.Black(x, y)) {
                const PixelBit at = PixelLocation(layout, x, y);
                image[at.offset] = static_cast<char>(ByteAt(image, at.offset) | (1u << at.bit));
            }
    return image;
}

MonoBitmap FramedScreenPicture(const ByteString& image, int border)
{
    const int b = std::clamp(border, 0, MaxBorderWidth);
    MonoBitmap picture(ScreenWidth + 4 * b, ScreenHeight + 4 * b);
    // B one-pixel outlines, outline i through the corners (i, i) and (W-1-i, H-1-i).
    for (int i = 0; i < b; ++i) {
        for (int x = i; x < picture.Width - i; ++x) {
            picture.Set(x, i, true);
            picture.Set(x, picture.Height - 1 - i, true);
        }
        for (int y = i; y < picture.Height - i; ++y) {
            picture.Set(i, y, true);
            picture.Set(picture.Width - 1 - i, y, true);
        }
    }
    if (image.empty()) return picture;
    const MonoBitmap screen = DecodeScreen(image);
    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x)
            if (screen.Black(x, y)) picture.Set(2 * b + x, 2 * b + y, true);
    return picture;
}
