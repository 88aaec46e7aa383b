// SPDX-License-Identifier: GPL-3.0-or-later
// The command table both tool programs dispatch through, and the number parser their
// options share.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tools/common/CommandTable.h"

namespace {

int RunNothing(std::vector<std::string>) { return 0; }
int RunCountingArgs(std::vector<std::string> args) { return static_cast<int>(args.size()); }

std::string Listed(const tooling::CommandTable& table, int width)
{
    std::FILE* file = std::tmpfile();
    table.List(file, width);
    std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    return text;
}

TEST(CommandTable, SortsByNameWhateverTheRegistrationOrder)
{
    tooling::CommandTable table;
    table.Add({"serve", "the server", RunNothing, "serve --port NAME"});
    table.Add({"capture", "screens", RunNothing});
    table.Add({"rom", "a ROM", RunCountingArgs});
    table.Add({"kermit-push", "pushes", RunNothing});
    std::vector<std::string> names;
    for (const auto& c : table.All()) names.push_back(c.name);
    EXPECT_EQ(names, (std::vector<std::string>{"capture", "kermit-push", "rom", "serve"}));

    ASSERT_NE(table.Find("rom"), nullptr);
    EXPECT_EQ(table.Find("rom")->run({"a", "b", "c"}), 3);
    EXPECT_STREQ(table.Find("serve")->synopsis, "serve --port NAME");
    EXPECT_STREQ(table.Find("capture")->synopsis, "");
    for (const char* missing : {"", "ro", "roms", "ROM", "--help"}) EXPECT_EQ(table.Find(missing), nullptr) << missing;
}

TEST(CommandTable, ListPadsTheNamesToTheWidthGiven)
{
    tooling::CommandTable table;
    table.Add({"serve", "Kermit server", RunNothing});
    table.Add({"kermit-packets", "send packets", RunNothing});
    EXPECT_EQ(Listed(table, 10), "  kermit-packets send packets\n  serve      Kermit server\n");
    EXPECT_EQ(Listed(table, 14), "  kermit-packets send packets\n  serve          Kermit server\n");
}

TEST(WholeNumber, ReadsANumberWrittenAloneWithinItsBounds)
{
    struct Case {
        const char* text;
        int low, high;
        std::optional<int> expected;
    };
    const Case cases[] = {
        {"0", 0, 100, 0},
        {"42", 0, 100, 42},
        {"100", 0, 100, 100},
        {"101", 0, 100, std::nullopt},
        {"0", 1, 16, std::nullopt},
        {"-1", 0, 100, std::nullopt},
        {"-5", -10, 10, -5},
        {"", 0, 100, std::nullopt},
        {"12x", 0, 100, std::nullopt},
        {"x12", 0, 100, std::nullopt},
        {"1.5", 0, 100, std::nullopt},
        {"12 ", 0, 100, std::nullopt},
        {"99999999999", 0, 2147483647, std::nullopt},
        {"2147483647", 0, 2147483647, 2147483647},
    };
    for (const Case& c : cases) EXPECT_EQ(tooling::WholeNumber(c.text, c.low, c.high), c.expected) << '"' << c.text << '"';
    // Without bounds: any number of at least 0.
    EXPECT_EQ(tooling::WholeNumber("1500"), 1500);
    EXPECT_EQ(tooling::WholeNumber("-1"), std::nullopt);
}

} // namespace
