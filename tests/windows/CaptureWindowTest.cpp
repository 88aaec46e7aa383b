// SPDX-License-Identifier: GPL-3.0-or-later
// The capture window's picture, its "Border" setting, Copy and Save.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "services/ScreenPicture.h"
#include "tests/support/ScopedSettings.h"
#include "tests/support/TestScreens.h"
#include "util/CalvyxError.h"
#include "windows/ErrorBox.h"
#include "windows/ScreenCaptureWindow.h"

namespace {

QString GoldenPath(int border)
{
    return QStringLiteral(CALVYX_SOURCE_DIR "/tests/windows/golden/capture_border%1.png").arg(border);
}

TEST(CaptureWindow, PictureMatchesTheGoldenImages)
{
    ScopedSettings settings;
    ScreenCaptureWindow capture;
    for (const uint8_t header : {uint8_t(0x80), uint8_t(0x1B)}) {
        capture.SetScreen(EncodeScreen(GraphScreen(), header));
        for (const int border : {0, 5}) {
            capture.borderSlider->setValue(border);
            const QImage& picture = capture.Picture();
            if (qEnvironmentVariableIsSet("CALVYX_WRITE_GOLDEN") && header == 0x80) {
                ASSERT_TRUE(picture.save(GoldenPath(border), "PNG"));
                continue;
            }
            const QImage golden(GoldenPath(border));
            ASSERT_FALSE(golden.isNull()) << GoldenPath(border).toStdString();
            std::string why;
            EXPECT_TRUE(SameMonoPicture(picture, golden, &why))
                << "border " << border << ", header " << int(header) << ": " << why;
            // On screen every pixel is a 2 x 2 block, centred in the picture area.
            EXPECT_EQ(capture.screenImage->size(), picture.size() * 2);
            EXPECT_EQ(capture.screenImage->x(), (capture.ImageArea->width() - 2 * picture.width()) / 2);
            const QImage shown = capture.screenImage->pixmap().toImage();
            EXPECT_EQ(shown.size(), picture.size() * 2);
            EXPECT_TRUE(SameMonoPicture(shown, picture.scaled(picture.size() * 2), &why)) << why;
        }
    }
}

TEST(CaptureWindow, BorderDrawsTheFrameAroundTheScreen)
{
    ScopedSettings settings;
    ScreenCaptureWindow capture;
    capture.SetScreen(EncodeScreen(GraphScreen(), 0x00));
    for (int border = 0; border <= 5; ++border) {
        capture.borderSlider->setValue(border);
        EXPECT_EQ(capture.Picture().size(), QSize(131 + 4 * border, 64 + 4 * border));
        // The screen's top-left pixel (the corner of the L) sits at (2B, 2B).
        EXPECT_EQ(qGray(capture.Picture().pixel(2 * border + 2, 2 * border + 2)), 0) << border;
        if (border > 0) {
            EXPECT_EQ(qGray(capture.Picture().pixel(border - 1, border - 1)), 0) << border;
            EXPECT_EQ(qGray(capture.Picture().pixel(border, border)), 255) << border;
        }
    }
}

TEST(CaptureWindow, StoredBorderIsClamped)
{
    struct Case {
        const char* what;
        QVariant stored;
        int border;
    };
    const Case cases[] = {
        {"missing", QVariant(), 1}, {"3", QVariant("3"), 3},
        {"0", QVariant("0"), 0},    {"9", QVariant("9"), 5},
        {"-3", QVariant("-3"), 0},  {"not a number", QVariant("abc"), 1},
        {"empty", QVariant(""), 1}, {"of another type", QVariant(QByteArray("\x02", 1)), 1},
    };
    for (const Case& c : cases) {
        ScopedSettings settings;
        if (c.stored.isValid()) settings.Put("ScreenCapture", "Border", c.stored);
        EXPECT_EQ(StoredBorderWidth(), c.border) << c.what;
        ScreenCaptureWindow capture;
        EXPECT_EQ(capture.BorderWidth(), c.border) << c.what;
        EXPECT_EQ(capture.Picture().width(), 131 + 4 * c.border) << c.what;
    }
}

TEST(CaptureWindow, ClosingSavesBorderAndPositionButNoSize)
{
    ScopedSettings settings;
    {
        ScreenCaptureWindow capture;
        capture.borderSlider->setValue(4);
        capture.move(33, 44);
        capture.close();
    }
    EXPECT_EQ(settings.Get("ScreenCapture", "Border").toString(), "4");
    EXPECT_EQ(settings.Get("ScreenCapture", "Left").toString(), "33");
    EXPECT_EQ(settings.Get("ScreenCapture", "Visible").toString(), "0");
    EXPECT_FALSE(settings.Get("ScreenCapture", "Width").isValid());
    ScreenCaptureWindow again;
    EXPECT_EQ(again.BorderWidth(), 4);
    EXPECT_EQ(again.pos(), QPoint(33, 44));
}

TEST(CaptureWindow, PromptAndParts)
{
    ScopedSettings settings;
    ScreenCaptureWindow capture;
    EXPECT_EQ(capture.windowTitle(), "Screen Capture");
    EXPECT_EQ(capture.promptLabel->text(),
              "On calculator, press ON and 1 simultaneously to capture the screen. Use the copy button to copy the "
              "picture to the clipboard, then reuse it in documents or editors.\r\n\r\n"
              "This window opens automatically when the calculator sends a screen.");
    EXPECT_EQ(capture.screenImage->toolTip(), "Calculator Screen Image");
    EXPECT_EQ(capture.borderSlider->minimum(), 0);
    EXPECT_EQ(capture.borderSlider->maximum(), 5);
    EXPECT_EQ(capture.borderSlider->pageStep(), 1);
    // Even the widest picture fits: nothing is cut off at border 5.
    EXPECT_GE(capture.ImageArea->width(), 2 * 151);
    EXPECT_GE(capture.ImageArea->height(), 2 * 84);
}

TEST(CaptureWindow, CopyPutsThePictureOnTheClipboardAtTheChosenScale)
{
    ScopedSettings settings;
    ScreenCaptureWindow capture;
    capture.SetScreen(EncodeScreen(GraphScreen(), 0x1B));
    capture.borderSlider->setValue(3);
    for (const int scale : {1, 2, 4}) {
        SCOPED_TRACE(scale);
        capture.scaleBox->setCurrentIndex(scale - 1);
        ASSERT_EQ(capture.PictureScale(), scale);
        QApplication::clipboard()->clear();
        capture.statusLine->clear();
        capture.copyButton->click();
        const QImage copied = QApplication::clipboard()->image();
        std::string why;
        EXPECT_EQ(copied.size(), QSize(143, 76) * scale);
        // Every pixel of the picture is a scale x scale block, not smoothed.
        EXPECT_TRUE(SameMonoPicture(copied, capture.Picture().scaled(QSize(143, 76) * scale), &why)) << why;
        EXPECT_TRUE(capture.statusLine->text().startsWith("Copied to the clipboard")) << capture.statusLine->text().toStdString();
        EXPECT_TRUE(capture.statusLine->text().contains(QStringLiteral("%1 x %2").arg(143 * scale).arg(76 * scale)));
    }
}

TEST(CaptureWindow, AWindowWithoutAScreenOffersNoCopyOrSave)
{
    ScopedSettings settings;
    ScreenCaptureWindow capture;
    EXPECT_FALSE(capture.HasScreen());
    EXPECT_FALSE(capture.copyButton->isEnabled());
    EXPECT_FALSE(capture.saveButton->isEnabled());
    // Called all the same (a shortcut, a script): nothing reaches the clipboard.
    QApplication::clipboard()->setText("kept");
    capture.CopyPicture();
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");
    EXPECT_TRUE(capture.statusLine->text().isEmpty());

    capture.SetScreen(EncodeScreen(GraphScreen(), 0x80));
    EXPECT_TRUE(capture.copyButton->isEnabled());
    EXPECT_TRUE(capture.saveButton->isEnabled());
    // A border change redraws what there is: still the screen.
    capture.borderSlider->setValue(4);
    EXPECT_TRUE(capture.saveButton->isEnabled());
    capture.SetScreen(ByteString());
    EXPECT_FALSE(capture.copyButton->isEnabled());
    EXPECT_FALSE(capture.saveButton->isEnabled());
}

TEST(CaptureWindow, StoredScaleIsOneToFour)
{
    struct Case {
        QVariant stored;
        int scale;
    };
    const Case cases[] = {{QVariant(), 1},    {QVariant("3"), 3}, {QVariant("4"), 4},
                          {QVariant("0"), 1}, {QVariant("5"), 1}, {QVariant("x"), 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toString().toStdString());
        ScopedSettings settings;
        if (c.stored.isValid()) settings.Put("ScreenCapture", "Scale", c.stored);
        ScreenCaptureWindow capture;
        EXPECT_EQ(capture.PictureScale(), c.scale);
    }
    ScopedSettings settings;
    {
        ScreenCaptureWindow capture;
        capture.scaleBox->setCurrentIndex(2);
        capture.close();
    }
    EXPECT_EQ(settings.Get("ScreenCapture", "Scale").toString(), "3");
}

// Drives the save dialog that saveButton opens: picks the filter and types the name.
// openedIn receives the folder the dialog showed first.
void SaveThroughTheDialog(ScreenCaptureWindow& capture, const QString& filter, const QString& typedName,
                          QString* openedIn = nullptr, QString* firstFilter = nullptr)
{
    bool answered = false;
    QTimer::singleShot(0, &capture, [&] {
        QFileDialog* dialog = capture.savePictureDialog;
        if (!QTest::qWaitForWindowExposed(dialog)) ADD_FAILURE() << "save dialog not shown";
        if (openedIn) *openedIn = dialog->directory().absolutePath();
        if (firstFilter) *firstFilter = dialog->nameFilters().value(0);
        if (!filter.isEmpty()) {
            dialog->selectNameFilter(filter);
            emit dialog->filterSelected(filter);
        }
        auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!nameEdit) {
            ADD_FAILURE() << "no file name box";
            dialog->reject();
            return;
        }
        nameEdit->setText(typedName);
        answered = true;
        QTest::keyClick(nameEdit, Qt::Key_Return);
    });
    QTimer::singleShot(10000, capture.savePictureDialog, [&] { capture.savePictureDialog->reject(); });
    capture.SavePicture();
    EXPECT_TRUE(answered);
}

TEST(CaptureWindow, SaveWritesThePictureAtTheChosenScaleAndSaysWhere)
{
    ScopedSettings settings;
    QTemporaryDir folder, transferFolder;
    ScreenCaptureWindow capture;
    capture.SetSaveFolder([&] { return transferFolder.path(); });
    capture.SetScreen(EncodeScreen(GraphScreen(), 0x80));
    capture.borderSlider->setValue(2);
    struct Case {
        QString filter;
        QString typed;
        int scale;
        QString written;
        QByteArray format;
    };
    const Case cases[] = {
        {QString(), folder.filePath("typed"), 1, folder.filePath("typed.png"), "png"},
        {QString(), folder.filePath("named.bmp"), 1, folder.filePath("named.bmp"), "bmp"},
        {"Bitmaps (*.bmp)", folder.filePath("chosen"), 1, folder.filePath("chosen.bmp"), "bmp"},
        {"PNG images (*.png)", folder.filePath("big"), 3, folder.filePath("big.png"), "png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written.toStdString());
        capture.scaleBox->setCurrentIndex(c.scale - 1);
        QString openedIn, firstFilter;
        SaveThroughTheDialog(capture, c.filter, c.typed, &openedIn, &firstFilter);
        EXPECT_EQ(openedIn, transferFolder.path()) << "Save starts in the transfer folder";
        EXPECT_EQ(firstFilter, "PNG images (*.png)");
        QImageReader reader(c.written);
        EXPECT_EQ(reader.format(), c.format);
        const QImage saved = reader.read();
        ASSERT_FALSE(saved.isNull());
        std::string why;
        EXPECT_EQ(saved.size(), QSize(139, 72) * c.scale);
        EXPECT_TRUE(SameMonoPicture(saved, capture.Picture().scaled(QSize(139, 72) * c.scale), &why)) << why;
        EXPECT_EQ(capture.statusLine->text(), "Saved " + c.written);
    }
    EXPECT_FALSE(QFile::exists(folder.filePath("typed"))) << "the extension is added to a bare name";
}

TEST(CaptureWindow, AFailedSaveIsReportedAndTheWindowStays)
{
    ScopedSettings settings;
    QStringList errors;
    const ErrorHandler previous = SetApplicationErrorHandler([&](const QString& text) { errors << text; });
    ScreenCaptureWindow capture;
    capture.SetScreen(EncodeScreen(GraphScreen(), 0x80));
    capture.show();
    EXPECT_THROW(SavePictureFile(capture.Picture(), "/nonexistent-folder/x.bmp"), CalvyxError);
    SaveThroughTheDialog(capture, QString(), "/proc/version.bmp");
    SetApplicationErrorHandler(previous);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().startsWith("I/O error")) << errors.front().toStdString();
    // The status line names the file and the same reason as the error box.
    EXPECT_TRUE(capture.statusLine->text().startsWith("Not saved /proc/version.bmp: I/O error"))
        << capture.statusLine->text().toStdString();
    EXPECT_TRUE(capture.isVisible());
    capture.close();
}

TEST(CaptureWindow, CancellingTheSaveDialogWritesNothing)
{
    ScopedSettings settings;
    QTemporaryDir folder;
    ScreenCaptureWindow capture;
    capture.SetScreen(EncodeScreen(GraphScreen(), 0x80));
    QTimer::singleShot(0, &capture, [&] {
        if (!QTest::qWaitForWindowExposed(capture.savePictureDialog)) ADD_FAILURE() << "save dialog not shown";
        capture.savePictureDialog->setDirectory(folder.path());
        QTest::keyClick(capture.savePictureDialog, Qt::Key_Escape);
    });
    capture.SavePicture();
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(capture.statusLine->text().isEmpty());
}

} // namespace
