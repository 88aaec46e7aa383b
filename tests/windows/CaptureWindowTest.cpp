// The capture window's picture, its "Border" setting, Copy and Save.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
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
#include "util/GeneralError.h"
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
            EXPECT_TRUE(SameMonoPicture(picture, golden, &why)) << "border " << border << ", header "
                                                                 << int(header) << ": " << why;
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
        {"missing", QVariant(), 1},     {"3", QVariant("3"), 3},   {"0", QVariant("0"), 0},
        {"9", QVariant("9"), 5},        {"-3", QVariant("-3"), 0}, {"not a number", QVariant("abc"), 1},
        {"empty", QVariant(""), 1},     {"of another type", QVariant(QByteArray("\x02", 1)), 1},
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

TEST(CaptureWindow, CopyPutsTheUndoubledPictureOnTheClipboard)
{
    ScopedSettings settings;
    ScreenCaptureWindow capture;
    capture.SetScreen(EncodeScreen(GraphScreen(), 0x1B));
    capture.borderSlider->setValue(3);
    QApplication::clipboard()->clear();
    capture.copyButton->click();
    const QImage copied = QApplication::clipboard()->image();
    std::string why;
    EXPECT_EQ(copied.size(), QSize(143, 76));
    EXPECT_TRUE(SameMonoPicture(copied, capture.Picture(), &why)) << why;
}

// Drives the save dialog that saveButton opens: picks the filter and types the name.
void SaveThroughTheDialog(ScreenCaptureWindow& capture, const QString& filter, const QString& typedName)
{
    bool answered = false;
    QTimer::singleShot(0, &capture, [&] {
        QFileDialog* dialog = capture.savePictureDialog;
        if (!QTest::qWaitForWindowExposed(dialog)) ADD_FAILURE() << "save dialog not shown";
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

TEST(CaptureWindow, SaveWritesTheWxHBitmap)
{
    ScopedSettings settings;
    QTemporaryDir folder;
    ScreenCaptureWindow capture;
    capture.SetScreen(EncodeScreen(GraphScreen(), 0x80));
    capture.borderSlider->setValue(2);
    struct Case {
        QString filter;
        QString typed;
        QString written;
        QByteArray format;
    };
    const Case cases[] = {
        {QString(), folder.filePath("typed"), folder.filePath("typed.bmp"), "bmp"},
        {QString(), folder.filePath("named.bmp"), folder.filePath("named.bmp"), "bmp"},
        {"PNG images (*.png)", folder.filePath("chosen"), folder.filePath("chosen.png"), "png"},
    };
    for (const Case& c : cases) {
        SaveThroughTheDialog(capture, c.filter, c.typed);
        QImageReader reader(c.written);
        EXPECT_EQ(reader.format(), c.format) << c.written.toStdString();
        const QImage saved = reader.read();
        ASSERT_FALSE(saved.isNull()) << c.written.toStdString();
        std::string why;
        EXPECT_EQ(saved.size(), QSize(139, 72));
        EXPECT_TRUE(SameMonoPicture(saved, capture.Picture(), &why)) << why;
    }
    EXPECT_FALSE(QFile::exists(folder.filePath("typed"))) << "the extension is added to a bare name";
}

TEST(CaptureWindow, AFailedSaveIsReportedAndTheWindowStays)
{
    ScopedSettings settings;
    QStringList errors;
    const ErrorHandler previous = SetApplicationErrorHandler([&](const QString& text) { errors << text; });
    ScreenCaptureWindow capture;
    capture.show();
    EXPECT_THROW(SavePictureFile(capture.Picture(), "/nonexistent-folder/x.bmp"), CalvyxError);
    SaveThroughTheDialog(capture, QString(), "/proc/version.bmp");
    SetApplicationErrorHandler(previous);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().startsWith("I/O error")) << errors.front().toStdString();
    EXPECT_TRUE(capture.isVisible());
    capture.close();
}

TEST(CaptureWindow, CancellingTheSaveDialogWritesNothing)
{
    ScopedSettings settings;
    QTemporaryDir folder;
    ScreenCaptureWindow capture;
    QTimer::singleShot(0, &capture, [&] {
        if (!QTest::qWaitForWindowExposed(capture.savePictureDialog)) ADD_FAILURE() << "save dialog not shown";
        capture.savePictureDialog->setDirectory(folder.path());
        QTest::keyClick(capture.savePictureDialog, Qt::Key_Escape);
    });
    capture.SavePicture();
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty());
}

} // namespace
