// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The capture picture as an image: for the clipboard, for the screen (every pixel
// doubled) and for picture files. Used by the capture window and calvyx-cli.
#include <QImage>
#include <QString>

#include "services/ScreenImage.h"

// A 1-bit image of the bitmap's size (white and black).
QImage MonoBitmapToImage(const MonoBitmap& bitmap);

// The picture enlarged scale times (1 gives it back unchanged), every pixel a square
// block without smoothing: what the capture window and calvyx-cli save.
QImage ScaledPicture(const QImage& picture, int scale);

// Writes image to path: PNG when the name ends in ".png" (any letter case), a BMP
// file otherwise. Raises CalvyxError with the system's reason when it cannot be
// written.
void SavePictureFile(const QImage& image, const QString& path);
