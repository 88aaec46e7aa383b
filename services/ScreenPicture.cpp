// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/ScreenPicture.h"

#include <cstring>

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>

#include "util/CalvyxError.h"
#include "util/Utils.h"

QImage MonoBitmapToImage(const MonoBitmap& bitmap)
{
    QImage image(bitmap.Width, bitmap.Height, QImage::Format_Mono);
    // Every byte of the rows, the padding after the last pixel included, goes into the
    // picture files: start from a cleared picture so that the same screen always gives
    // the same file.
    std::memset(image.bits(), 0, static_cast<std::size_t>(image.sizeInBytes()));
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    // Format_Mono keeps the leftmost pixel in the high bit; a set bit is colour 1, black.
    for (int y = 0; y < bitmap.Height; ++y) {
        uchar* row = image.scanLine(y);
        const uint8_t* pixels = bitmap.Pixels.data() + bitmap.Index(0, y);
        for (int x = 0; x < bitmap.Width; ++x)
            if (pixels[x] != 0) row[x >> 3] = static_cast<uchar>(row[x >> 3] | (0x80u >> (x & 7)));
    }
    return image;
}

QImage ScaledPicture(const QImage& picture, int scale)
{
    if (scale <= 1) return picture;
    return picture.scaled(picture.width() * scale, picture.height() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

void SavePictureFile(const QImage& image, const QString& path)
{
    const QByteArray format = path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive) ? "PNG" : "BMP";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) throw CalvyxError(writer.errorString().toStdString());
    // The file itself is written by the common routine, which reports the system's
    // reason (full disk, no permission, missing folder).
    WriteStringToFile(bytes.toStdString(), path.toStdString());
}
