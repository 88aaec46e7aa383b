// SPDX-License-Identifier: GPL-3.0-or-later
// A screen from the calculator, any bytes of any length: decoded in the layout its
// header selects, framed as the capture window and calvyx-cli show it, and turned into
// the picture that goes to the clipboard and to picture files. The first input byte is
// the frame width (signed, so out-of-range widths come too); the rest is the screen.
//
// Checks: the screen is always 131 x 64; writing it back as an image with the same
// header and reading that again gives the same screen; a complete image keeps every
// pixel byte through that round trip; the framed picture is the frame, the white band
// and the screen where they belong; the picture image shows exactly those pixels.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzCheck.h"
#include "services/ScreenImage.h"
#include "services/ScreenPicture.h"

namespace {

constexpr std::size_t MaxInput = 2 * ScreenImageSize;

// The frame, the white band inside it and the screen, row by row: the rows of the frame
// and the band pixel by pixel, each screen row as a whole.
FUZZ_HARNESS_ONLY void CheckFramedPicture(const MonoBitmap& picture, const MonoBitmap& screen, int border, bool empty)
{
    const int b = std::clamp(border, 0, MaxBorderWidth);
    const int width = ScreenWidth + 4 * b;
    const int height = ScreenHeight + 4 * b;
    FUZZ_CHECK(picture.Width == width && picture.Height == height);
    FUZZ_CHECK(picture.Pixels.size() == std::size_t(width) * height);
    const std::vector<uint8_t> blank(ScreenWidth, 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = picture.Pixels.data() + std::size_t(y) * width;
        const int fromEdgeY = std::min(y, height - 1 - y);
        if (fromEdgeY < 2 * b) {
            for (int x = 0; x < width; ++x) {
                const int fromEdge = std::min(fromEdgeY, std::min(x, width - 1 - x));
                FUZZ_CHECK(row[x] == (fromEdge < b ? 1 : 0));
            }
            continue;
        }
        for (int x = 0; x < 2 * b; ++x) {
            FUZZ_CHECK(row[x] == (x < b ? 1 : 0));
            FUZZ_CHECK(row[width - 1 - x] == (x < b ? 1 : 0));
        }
        const uint8_t* shown = empty ? blank.data() : screen.Pixels.data() + std::size_t(y - 2 * b) * ScreenWidth;
        FUZZ_CHECK(std::equal(shown, shown + ScreenWidth, row + 2 * b));
    }
}

// Every byte that holds pixels survives the round trip: a pixel byte whose bits differ
// would be a pixel the decoder read from the wrong place.
FUZZ_HARNESS_ONLY void CheckPixelBytesKept(const ByteString& image, const ByteString& again)
{
    const ScreenLayout layout = LayoutOfScreen(image);
    for (int y = 0; y < ScreenHeight; ++y)
        for (int x = 0; x < ScreenWidth; ++x) {
            const PixelBit at = PixelLocation(layout, x, y);
            FUZZ_CHECK(at.offset >= ScreenDataOffset && at.offset < ScreenImageSize && at.bit >= 0 && at.bit < 8);
            FUZZ_CHECK(((ByteAt(image, at.offset) ^ ByteAt(again, at.offset)) >> at.bit & 1) == 0);
        }
}

// What Qt itself reads from the picture: black where the bitmap is black, white elsewhere.
FUZZ_HARNESS_ONLY void CheckImageShows(const QImage& shown, const MonoBitmap& picture)
{
    FUZZ_CHECK(shown.width() == picture.Width && shown.height() == picture.Height);
    const QImage grey = shown.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < picture.Height; ++y) {
        const uchar* row = grey.constScanLine(y);
        const uint8_t* pixels = picture.Pixels.data() + std::size_t(y) * picture.Width;
        for (int x = 0; x < picture.Width; ++x) FUZZ_CHECK(row[x] == (pixels[x] != 0 ? 0 : 255));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > MaxInput) return 0;
    const int border = static_cast<int8_t>(data[0]);
    const ByteString image(reinterpret_cast<const char*>(data + 1), size - 1);

    const MonoBitmap screen = DecodeScreen(image);
    FUZZ_CHECK(screen.Width == ScreenWidth && screen.Height == ScreenHeight);
    FUZZ_CHECK(screen.Pixels.size() == std::size_t(ScreenWidth) * ScreenHeight);

    const uint8_t header = image.empty() ? 0 : ByteAt(image, 0);
    const ByteString again = EncodeScreen(screen, header);
    FUZZ_CHECK(again.size() == ScreenImageSize);
    FUZZ_CHECK(LayoutOfScreen(again) == LayoutOfScreen(image));
    FUZZ_CHECK(DecodeScreen(again) == screen);
    if (image.size() >= ScreenImageSize) CheckPixelBytesKept(image, again);

    const MonoBitmap picture = FramedScreenPicture(image, border);
    CheckFramedPicture(picture, screen, border, image.empty());

    CheckImageShows(MonoBitmapToImage(picture), picture);
    return 0;
}
