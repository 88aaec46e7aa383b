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

void CheckFramedPicture(const MonoBitmap& picture, const MonoBitmap& screen, int border, bool empty)
{
    const int b = std::clamp(border, 0, MaxBorderWidth);
    FUZZ_CHECK(picture.Width == ScreenWidth + 4 * b && picture.Height == ScreenHeight + 4 * b);
    FUZZ_CHECK(picture.Pixels.size() == std::size_t(picture.Width) * picture.Height);
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < picture.Width; ++x) {
            const int edge = std::min({x, y, picture.Width - 1 - x, picture.Height - 1 - y});
            bool black = false;
            if (edge < b) black = true;          // the frame
            else if (edge < 2 * b) black = false; // the white band inside it
            else black = !empty && screen.Black(x - 2 * b, y - 2 * b);
            FUZZ_CHECK(picture.Black(x, y) == black);
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
    if (image.size() >= ScreenImageSize) {
        // Every byte that holds pixels survives: a pixel byte whose bits differ after
        // the round trip would be a pixel the decoder read from the wrong place.
        const ScreenLayout layout = LayoutOfScreen(image);
        for (int y = 0; y < ScreenHeight; ++y)
            for (int x = 0; x < ScreenWidth; ++x) {
                const PixelBit at = PixelLocation(layout, x, y);
                FUZZ_CHECK(at.offset >= ScreenDataOffset && at.offset < ScreenImageSize && at.bit >= 0 && at.bit < 8);
                FUZZ_CHECK(((ByteAt(image, at.offset) ^ ByteAt(again, at.offset)) >> at.bit & 1) == 0);
            }
    }

    const MonoBitmap picture = FramedScreenPicture(image, border);
    CheckFramedPicture(picture, screen, border, image.empty());

    const QImage shown = MonoBitmapToImage(picture);
    FUZZ_CHECK(shown.width() == picture.Width && shown.height() == picture.Height);
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < picture.Width; ++x)
            FUZZ_CHECK((shown.pixel(x, y) == qRgb(0, 0, 0)) == picture.Black(x, y));
    return 0;
}
