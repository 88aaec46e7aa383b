#include "services/ScreenPicture.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageWriter>

#include "util/GeneralError.h"
#include "util/Utils.h"

QImage MonoBitmapToImage(const MonoBitmap& bitmap)
{
    QImage image(bitmap.Width, bitmap.Height, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < bitmap.Height; ++y)
        for (int x = 0; x < bitmap.Width; ++x) image.setPixel(x, y, bitmap.Black(x, y) ? 1 : 0);
    return image;
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
