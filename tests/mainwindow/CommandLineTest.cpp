#include <gtest/gtest.h>

#include "mainwindow/CommandLine.h"

namespace {

struct LineCase {
    const char* name;
    std::string line;
    int count;
    std::string first;                 // parameter 1
    std::optional<std::string> port;   // what it chooses
};

TEST(CommandLine, ParametersAndChosenConnection)
{
    const LineCase cases[] = {
        {"no parameter", "calvyx", 0, "", std::nullopt},
        {"usb any case kept as typed", "calvyx qvxt0+", 1, "qvxt0+", "qvxt0+"},
        {"com lower case kept", "calvyx com2", 1, "com2", "com2"},
        {"quoted com", "calvyx \"COM1\"", 1, "COM1", "COM1"},
        {"empty quote pair is blank", "calvyx \"\" COM1", 1, "COM1", "COM1"},
        {"empty quote pairs repeat", "calvyx \"\"\"\"  \t COM2 x", 2, "COM2", "COM2"},
        {"other name ignored", "calvyx USB", 1, "USB", std::nullopt},
        {"only the first counts", "calvyx USB COM1", 2, "USB", std::nullopt},
        {"device path", "calvyx /dev/ttyUSB0", 1, "/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"quoted path with blank", "\"/opt/my calvyx/calvyx\" \"/tmp/a b/tty\"", 1, "/tmp/a b/tty", "/tmp/a b/tty"},
        {"quote inside a parameter", "calvyx COM\"1 x\"y", 1, "COM1 xy", "COM1 xy"},
        {"unterminated quote runs to the end", "calvyx \"COM1 rest", 1, "COM1 rest", "COM1 rest"},
        {"control characters are blanks", "calvyx\r\n\x01QVxT0+\x1f", 1, "QVxT0+", "QVxT0+"},
        {"program name only with trailing blanks", "calvyx    ", 0, "", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CountParams(c.line), c.count) << c.name;
        EXPECT_EQ(ParamStr(c.line, 1), c.first) << c.name;
        EXPECT_EQ(PortFromCommandLine(c.line), c.port) << c.name;
    }
}

TEST(CommandLine, GetParamReturnsPositionAfterParameter)
{
    const std::string line = "a  \"b c\"d   e";
    std::string p;
    std::size_t pos = GetParam(line, 0, p);
    EXPECT_EQ(p, "a");
    EXPECT_EQ(pos, 1u);
    pos = GetParam(line, pos, p);
    EXPECT_EQ(p, "b cd");
    EXPECT_EQ(pos, 9u);
    pos = GetParam(line, pos, p);
    EXPECT_EQ(p, "e");
    pos = GetParam(line, pos, p);
    EXPECT_EQ(p, "");
    EXPECT_EQ(pos, line.size());
}

TEST(CommandLine, RebuiltFromArgumentsSplitsBackTheSame)
{
    const QStringList args = {"/usr/bin/calvyx", "/tmp/dir with blank/tty", "COM1", ""};
    const std::string line = BuildCommandLine(args);
    EXPECT_EQ(line, "/usr/bin/calvyx \"/tmp/dir with blank/tty\" COM1 \"\"");
    EXPECT_EQ(CountParams(line), 2); // the empty argument counts as blank
    EXPECT_EQ(ParamStr(line, 1), "/tmp/dir with blank/tty");
    EXPECT_EQ(ParamStr(line, 2), "COM1");
}

} // namespace
