// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "mainwindow/CommandLine.h"

namespace {

struct ArgumentsCase {
    const char* name;
    QStringList args;
    QString connectionArgument;
    std::optional<std::string> port; // what it chooses
};

TEST(CommandLine, FirstArgumentChoosesTheConnection)
{
    const ArgumentsCase cases[] = {
        {"no argument", {"calvyx"}, "", std::nullopt},
        {"nothing at all", {}, "", std::nullopt},
        {"usb any case kept as typed", {"calvyx", "qvxt0+"}, "qvxt0+", "qvxt0+"},
        {"com lower case kept", {"calvyx", "com2"}, "com2", "com2"},
        {"empty arguments are skipped", {"calvyx", "", "", "COM1"}, "COM1", "COM1"},
        {"other name ignored", {"calvyx", "USB"}, "USB", std::nullopt},
        {"only the first counts", {"calvyx", "USB", "COM1"}, "USB", std::nullopt},
        {"device path", {"calvyx", "/dev/ttyUSB0"}, "/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"path with blanks kept whole", {"/opt/my calvyx/calvyx", "/tmp/a b/tty"}, "/tmp/a b/tty", "/tmp/a b/tty"},
        {"a lone slash is no path", {"calvyx", "/"}, "/", std::nullopt},
        {"the program name never chooses", {"/dev/ttyUSB0"}, "", std::nullopt},
        {"non-ASCII name ignored", {"calvyx", QString::fromUtf8("Ünit")}, QString::fromUtf8("Ünit"), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConnectionArgument(c.args), c.connectionArgument) << c.name;
        EXPECT_EQ(PortFromArguments(c.args), c.port) << c.name;
    }
}

} // namespace
