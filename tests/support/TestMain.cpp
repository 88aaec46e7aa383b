// SPDX-License-Identifier: GPL-3.0-or-later
// Every test program runs inside a Qt application so that synchronised calls and timers
// work (and widgets, in the windows' tests); without a display it uses the offscreen
// platform. The build picks the application each area needs: CALVYX_TEST_APPLICATION is
// QCoreApplication, QGuiApplication or QApplication.
#include <QtGlobal>
#include <gtest/gtest.h>

#define CALVYX_STRINGIFY(x) #x
#define CALVYX_HEADER(x) CALVYX_STRINGIFY(x)
#include CALVYX_HEADER(CALVYX_TEST_APPLICATION)

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    CALVYX_TEST_APPLICATION app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
