#include "tools/sim/ScreenRole.h"

#include <functional>

#include <QImage>
#include <QString>

namespace sim {

namespace {

constexpr std::size_t PixelOffset = 2; // header byte and one byte of no meaning
constexpr int RowBytes = 17;           // 136 bit positions for 131 pixels
constexpr int PageBytes = 135;         // one byte per column, 4 unused columns

void Fill(SimScreen& screen, const std::function<bool(int, int)>& black)
{
    for (int y = 0; y < SimScreenHeight; ++y)
        for (int x = 0; x < SimScreenWidth; ++x) screen.Set(x, y, black(x, y));
}

} // namespace

bool PatternScreen(const std::string& name, SimScreen& screen)
{
    const int right = SimScreenWidth - 1;
    const int bottom = SimScreenHeight - 1;
    if (name == "checker") {
        Fill(screen, [](int x, int y) { return (x + y) % 2 == 0; });
    } else if (name == "frame") {
        Fill(screen, [&](int x, int y) { return x == 0 || y == 0 || x == right || y == bottom || x == 2 * y; });
    } else if (name == "corners") {
        Fill(screen, [&](int x, int y) { return (x == 0 || x == right) && (y == 0 || y == bottom); });
    } else if (name == "blank") {
        Fill(screen, [](int, int) { return false; });
    } else if (name == "full") {
        Fill(screen, [](int, int) { return true; });
    } else {
        return false;
    }
    return true;
}

bool PictureScreen(const std::string& path, SimScreen& screen, std::string& error)
{
    QImage picture(QString::fromStdString(path));
    if (picture.isNull()) {
        error = "cannot read the picture " + path;
        return false;
    }
    const QImage grey = picture.scaled(SimScreenWidth, SimScreenHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                            .convertToFormat(QImage::Format_Grayscale8);
    Fill(screen, [&](int x, int y) { return grey.constScanLine(y)[x] < 128; });
    return true;
}

ByteString EncodeScreen(const SimScreen& screen, SimScreenLayout layout)
{
    ByteString image(SimScreenBytes, '\0');
    image[0] = static_cast<char>(layout == SimScreenLayout::Page ? PageScreenHeader : RowScreenHeader);
    for (int y = 0; y < SimScreenHeight; ++y) {
        for (int x = 0; x < SimScreenWidth; ++x) {
            if (!screen.At(x, y)) continue;
            const std::size_t at = layout == SimScreenLayout::Row
                                       ? PixelOffset + static_cast<std::size_t>(RowBytes * y + x / 8)
                                       : PixelOffset + static_cast<std::size_t>(PageBytes * (y / 8) + x);
            const int bit = layout == SimScreenLayout::Row ? x % 8 : y % 8;
            image[at] = static_cast<char>(ByteAt(image, at) | (1 << bit));
        }
    }
    return image;
}

} // namespace sim
