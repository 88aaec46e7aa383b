// SPDX-License-Identifier: GPL-3.0-or-later
// The version text and the About window.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "windows/AboutDialog.h"

namespace {

TEST(Version, FormattingTable)
{
    struct Case {
        ProgramVersion version;
        const char* text;
    };
    const Case cases[] = {
        {{2, 1, 0, 1328}, "Version 2.1 Build 1328"},
        {{3, 0, 7, 25}, "Version 3.0 Build 25"},   // the patch number is not shown
        {{1, 2, 65535, 9}, "Version 1.2 Build 9"}, // nor does it spill into the build
        {{65535, 65535, 0, 65535}, "Version 65535.65535 Build 65535"},
        {{0, 0, 0, 0}, "Version 0.0 Build 0"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatVersionString(c.version), c.text) << c.text;
}

TEST(Version, BuiltWithoutAVersion) { EXPECT_EQ(FormatVersionString(std::nullopt), "-.-.-.-"); }

TEST(Version, NumberShowsAllFourParts)
{
    EXPECT_EQ(FormatVersionNumber(ProgramVersion{2, 1, 0, 1328}), "2.1.0.1328");
    EXPECT_EQ(FormatVersionNumber(ProgramVersion{3, 0, 7, 25}), "3.0.7.25");
    EXPECT_EQ(FormatVersionNumber(ProgramVersion{65535, 0, 65535, 1}), "65535.0.65535.1");
    EXPECT_EQ(FormatVersionNumber(std::nullopt), "-.-.-.-");
    // The number --version prints is the project version the build was configured with.
    EXPECT_EQ(GetVersionNumber(), "2.1.0.1328");
}

TEST(Version, TheBuiltVersionMatchesTheAboutLabel)
{
    // The label is fixed text; a release that changes the project version must change
    // the label with it.
    AboutDialog about;
    EXPECT_EQ(GetVersionString(), about.versionLabel->text().toStdString());
}

TEST(About, ArtworkAndLayout)
{
    AboutDialog about;
    const QImage art = ProductArtwork();
    EXPECT_EQ(art.size(), QSize(317, 198));
    EXPECT_GT(art.pixelColor(10, 100).blue(), art.pixelColor(10, 100).red()) << "the picture was not drawn";
    EXPECT_EQ(about.productImage->size(), QSize(317, 198));
    EXPECT_EQ(about.versionLabel->text(), "Version 2.1 Build 1328");
    const Qt::WindowFlags flags = about.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint) || flags.testFlag(Qt::WindowMaximizeButtonHint));
}

TEST(About, ShowsTheLicenceAndTheProjectsAddressAsALink)
{
    AboutDialog about;
    const QString text = about.licenseLabel->text();
    EXPECT_TRUE(text.contains("GNU General Public License, version 3 or later")) << text.toStdString();
    EXPECT_TRUE(text.contains("<a href=\"https://calvyx.org/\">https://calvyx.org/</a>")) << text.toStdString();
    EXPECT_TRUE(about.licenseLabel->openExternalLinks());
    // The packages name the same home page.
    std::ifstream packaging(CALVYX_SOURCE_DIR "/cmake/Packaging.cmake");
    const std::string cmake((std::istreambuf_iterator<char>(packaging)), std::istreambuf_iterator<char>());
    EXPECT_NE(cmake.find(std::string("set(CPACK_PACKAGE_HOMEPAGE_URL \"") + ProjectAddress + "\")"), std::string::npos);
}

TEST(About, ShowsOverItsMainWindowAndClosesWithOkOrEsc)
{
    EXPECT_EQ(CenteredOrigin(QRect(100, 0, 600, 400), QSize(325, 250)).x(), 237);
    for (const bool byEsc : {false, true}) {
        QWidget main;
        main.setWindowTitle("Calvyx");
        main.setGeometry(100, 80, 600, 500);
        AboutDialog about;
        about.SetMainWindow(&main);
        QRect frame;
        QString caption;
        QTimer::singleShot(0, &about, [&] {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&about));
            frame = about.frameGeometry();
            caption = about.windowTitle();
            if (byEsc)
                QTest::keyClick(&about, Qt::Key_Escape);
            else
                about.okButton->click();
        });
        QTimer::singleShot(10000, &about, [&] { about.done(-1); });
        const int result = about.exec();
        EXPECT_EQ(result, byEsc ? QDialog::Rejected : QDialog::Accepted);
        EXPECT_EQ(caption, "Calvyx");
        EXPECT_EQ(frame.left(), 100 + (600 - frame.width()) / 2);
        EXPECT_EQ(frame.top(), 80 + (500 - frame.height()) / 2);
    }
}

} // namespace
