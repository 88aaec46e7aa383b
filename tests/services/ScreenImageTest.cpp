// SPDX-License-Identifier: GPL-3.0-or-later
// The screen image: which bit is which pixel in each layout, short images, and the
// framed picture of the capture window.
#include <gtest/gtest.h>

#include <random>

#include "services/ScreenImage.h"

namespace {

ByteString ImageWith(uint8_t header, std::size_t offset, uint8_t value)
{
    ByteString image(ScreenImageSize, '\0');
    image[0] = static_cast<char>(header);
    image[offset] = static_cast<char>(value);
    return image;
}

std::vector<std::pair<int, int>> BlackPixels(const MonoBitmap& bitmap)
{
    std::vector<std::pair<int, int>> black;
    for (int y = 0; y < bitmap.Height; ++y)
        for (int x = 0; x < bitmap.Width; ++x)
            if (bitmap.Black(x, y)) black.emplace_back(x, y);
    return black;
}

TEST(ScreenImage, SingleBitsLandOnTheirPixels)
{
    using Pixels = std::vector<std::pair<int, int>>;
    struct Case {
        const char* what;
        uint8_t header;
        std::size_t offset;
        uint8_t value;
        Pixels black;
    };
    const Case cases[] = {
        {"row: bit 0 of offset 2 is top-left", 0x00, 2, 0x01, {{0, 0}}},
        {"row: bit 7 of offset 2", 0x00, 2, 0x80, {{7, 0}}},
        {"row: bit 2 of offset 18 is (130, 0)", 0x00, 18, 0x04, {{130, 0}}},
        {"row: the five spare bits of a row carry no pixel", 0x00, 18, 0xF8, {}},
        {"row: offset 19 begins row 1", 0x00, 19, 0x01, {{0, 1}}},
        {"row: last byte", 0x00, 1089, 0x05, {{128, 63}, {130, 63}}},
        {"row: pushed screen header 0x80", 0x80, 2 + 17 * 10 + 3, 0x10, {{28, 10}}},
        {"page: bit 0 of offset 2 is top-left", 0x1B, 2, 0x01, {{0, 0}}},
        {"page: bit 7 of offset 2 is (0, 7)", 0x1B, 2, 0x80, {{0, 7}}},
        {"page: offset 2+130 is column 130", 0x1B, 132, 0x01, {{130, 0}}},
        {"page: columns 131 to 134 are not used", 0x1B, 133, 0xFF, {}},
        {"page: second page begins at 137", 0x1B, 137, 0x01, {{0, 8}}},
        {"page: last page, last column, bottom row", 0x1B, 2 + 135 * 7 + 130, 0x80, {{130, 63}}},
        {"page: bytes from 1082 on are not used", 0x1B, 1085, 0xFF, {}},
    };
    for (const Case& c : cases) {
        const ByteString image = ImageWith(c.header, c.offset, c.value);
        // The header byte itself and byte 1 are never pixels.
        EXPECT_EQ(BlackPixels(DecodeScreen(image)), c.black) << c.what;
    }
}

TEST(ScreenImage, HeaderChoosesTheLayout)
{
    for (int header = 0; header < 256; ++header)
        EXPECT_EQ(LayoutOfScreen(ByteString(1, char(header))),
                  header == 0x1B ? ScreenLayout::PageLayout : ScreenLayout::RowLayout)
            << header;
    EXPECT_EQ(LayoutOfScreen(ByteString()), ScreenLayout::RowLayout);
}

TEST(ScreenImage, EncodeAndDecodeAgreeInBothLayouts)
{
    std::mt19937 rng(7);
    MonoBitmap screen(ScreenWidth, ScreenHeight);
    for (auto& pixel : screen.Pixels) pixel = rng() & 1;
    for (const uint8_t header : {uint8_t(0x1B), uint8_t(0x80), uint8_t(0x00)}) {
        const ByteString image = EncodeScreen(screen, header);
        ASSERT_EQ(image.size(), ScreenImageSize);
        EXPECT_EQ(ByteAt(image, 0), header);
        EXPECT_TRUE(DecodeScreen(image) == screen) << "header " << int(header);
    }
}

TEST(ScreenImage, ShortImagesAreNeverReadPastTheirEnd)
{
    // Every byte set: whatever is present is black, the rest white, in either layout.
    for (const uint8_t header : {uint8_t(0x00), uint8_t(0x1B)}) {
        for (const std::size_t length :
             {std::size_t(0), std::size_t(1), std::size_t(2), std::size_t(3), std::size_t(500), ScreenImageSize - 1}) {
            ByteString image(length, '\xFF');
            if (length > 0) image[0] = static_cast<char>(header);
            const MonoBitmap screen = DecodeScreen(image);
            const ScreenLayout layout = LayoutOfScreen(image);
            for (int y = 0; y < ScreenHeight; ++y)
                for (int x = 0; x < ScreenWidth; ++x) {
                    const bool present = PixelLocation(layout, x, y).offset < length;
                    ASSERT_EQ(screen.Black(x, y), present) << "length " << length << " at " << x << "," << y;
                }
        }
    }
}

TEST(ScreenImage, FramedPictureSizesFrameAndOffset)
{
    MonoBitmap screen(ScreenWidth, ScreenHeight);
    screen.Set(0, 0, true);
    screen.Set(130, 63, true);
    const ByteString image = EncodeScreen(screen, 0x00);
    for (int border = 0; border <= MaxBorderWidth; ++border) {
        const MonoBitmap picture = FramedScreenPicture(image, border);
        const int w = 131 + 4 * border, h = 64 + 4 * border;
        ASSERT_EQ(picture.Width, w);
        ASSERT_EQ(picture.Height, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int ring = std::min(std::min(x, y), std::min(w - 1 - x, h - 1 - y));
                bool expected = ring < border; // the black frame
                if (x == 2 * border && y == 2 * border) expected = true;
                if (x == 2 * border + 130 && y == 2 * border + 63) expected = true;
                ASSERT_EQ(picture.Black(x, y), expected) << "border " << border << " at " << x << "," << y;
            }
    }
    EXPECT_EQ(FramedScreenPicture(image, 9).Width, 151);
    EXPECT_EQ(FramedScreenPicture(image, -3).Width, 131);
}

TEST(ScreenImage, EmptyScreenGivesTheBlankFrame)
{
    const MonoBitmap picture = FramedScreenPicture(ByteString(), 2);
    EXPECT_EQ(BlackPixels(picture).size(), std::size_t(2 * (139 + 72) - 4 + 2 * (137 + 70) - 4));
}

} // namespace

#include <cstdlib>
#include <cstring>

#include <QBuffer>
#include <QImageWriter>

#include "services/ScreenPicture.h"

namespace {

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

// The same screen gives the same file, byte for byte: the padding bits at the end of
// each row of the one-bit picture are written too, so they must not be whatever the
// memory held before.
TEST(ScreenPicture, TheSameScreenGivesByteIdenticalFiles)
{
    for (const int border : {0, 1, 3}) {
        const MonoBitmap framed = FramedScreenPicture(ByteString(ScreenImageSize, '\x5a'), border);
        QByteArray first[2];
        for (int round = 0; round < 2; ++round) {
            // Leave dirty memory of the picture's size behind for the allocator to reuse.
            const std::size_t size =
                static_cast<std::size_t>((framed.Width + 31) / 32 * 4) * static_cast<std::size_t>(framed.Height);
            for (int i = 0; i < 8; ++i) {
                void* dirty = std::malloc(size);
                std::memset(dirty, round == 0 ? 0x00 : 0xFF, size);
                std::free(dirty);
            }
            const QImage image = MonoBitmapToImage(framed);
            for (int y = 0; y < image.height(); ++y) {
                const uchar* row = image.constScanLine(y);
                for (int bit = image.width(); bit < image.bytesPerLine() * 8; ++bit)
                    ASSERT_EQ((row[bit / 8] >> (7 - bit % 8)) & 1, 0) << "padding bit " << bit << " of row " << y;
            }
            first[round] = Encoded(image, "PNG") + Encoded(image, "BMP");
        }
        EXPECT_EQ(first[0], first[1]) << "border " << border;
    }
}

} // namespace
