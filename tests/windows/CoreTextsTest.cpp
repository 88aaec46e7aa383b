// The status texts of a transfer that reports English text rather than events, as the
// windows show them: translated part by part where they are such a text, untouched
// otherwise (a file name that looks like one is still a file name), and exactly as
// composed without a translation.
#include <gtest/gtest.h>

#include "link/Progress.h"
#include "util/StringTable.h"
#include "windows/CoreTexts.h"
#include "windows/Language.h"

namespace {

struct ShownCase {
    std::string composed;
    const char* german;
};

TEST(CoreTexts, GermanWindowsTranslateTheStatusTextsTheyShow)
{
    const ShownCase cases[] = {
        {std::string(Str::Receiving) + "GRAPHS.CA", "Empfange GRAPHS.CA"},
        {std::string(Str::Sending) + "my bytes", "Sende my bytes"},
        {std::string(Str::Copying) + "Receiving X", "Kopiere Receiving X"},
        {ProgressText(2048, 4096, 2000), "2048/4096 Bytes\r\n(50%)\r\n1023 Bytes/s"},
        {ProgressText(40960, 81920, 2000), "40/80 KB\r\n(49%)\r\n19 KB/s"},
        {ReceivedText(700, 1000), "700 Bytes\r\n699 Bytes/s"},
        {Str::ConnectingDots, "Verbinde ..."},
        {Str::NotReady, "T30s,T20s,T20+,T20 ist nicht bereit"},
        // Not a status text, or only looks like a part of one: as it is.
        {"NOTES bytes", "NOTES bytes"},
        {"Receiving ", "Receiving "},
        {"Device connected on ", "Device connected on "},
        {"Error(the link broke)", "Error(the link broke)"},
        {"", ""},
    };
    ASSERT_TRUE(InstallLanguage("de"));
    for (const auto& c : cases) EXPECT_EQ(ShownCoreText(c.composed).toStdString(), c.german) << c.composed;
    ASSERT_TRUE(InstallLanguage("en"));
    for (const auto& c : cases) EXPECT_EQ(ShownCoreText(c.composed).toStdString(), c.composed);
}

} // namespace
