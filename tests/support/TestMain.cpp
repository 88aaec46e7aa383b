// Every test program runs inside a Qt application so that synchronised calls, timers
// and widgets work; without a display it uses the offscreen platform.
#include <QApplication>
#include <QtGlobal>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
