// SPDX-License-Identifier: GPL-3.0-or-later
// The file name a received object proposes (main window and calvyx-cli receive).
#include <gtest/gtest.h>

#include <cstdint>

#include <QByteArray>
#include <QString>

#include "services/ObjectName.h"
#include "tests/support/Calcapp.h"
#include "util/ByteString.h"

namespace {

struct NameCase {
    const char* name;
    QByteArray object;
    QString proposed;
};

QByteArray Object(int nameLength, const QByteArray& rest) { return QByteArray(8, 'h') + char(nameLength) + rest; }

TEST(ReceivedName, TakesTheHeaderNameOrUntitled)
{
    const NameCase cases[] = {
        {"12-byte name", Object(12, "PROGRAM12345tail"), "PROGRAM12345"},
        {"exactly 9 bytes", Object(3, ""), "untitled"},
        {"length 0", Object(0, "ABC"), "untitled"},
        {"length 35", Object(35, QByteArray(35, 'N')), QString(35, 'N')},
        {"length 36", Object(36, QByteArray(40, 'N')), "untitled"},
        {"object ends sooner", Object(10, "ABC"), "ABC"},
        {"separators cannot escape the folder", Object(8, "../a/b\\c"), ".._a_b_c"},
        {"control bytes", Object(3, QByteArray("a\0b", 3)), "a_b"},
        {"dot-dot alone", Object(2, ".."), "untitled"},
    };
    for (const auto& c : cases) EXPECT_EQ(ReceivedObjectName(c.object), c.proposed) << c.name;
}

// The received bytes: the object with its last 128-byte block padded.
ByteString Padded(const ByteString& object, std::size_t padding) { return object + ByteString(padding, '\x1A'); }

TEST(ReceivedEnd, ASizedObjectLosesThePaddingOfItsLastBlockOnly)
{
    // 2516 bytes: two blocks of 1024, then four of 128, the last one with 44 bytes of padding.
    const ByteString sized = CalcappObject(1, "DEMOAPP", 2516, 2516 - 9 - 7 - 4);
    ASSERT_EQ(sized.size(), 2516u);
    const struct {
        const char* what;
        ByteString received;
        std::size_t lastBlock;
        std::size_t end;
    } cases[] = {
        {"sized, padded", Padded(sized, 44), 128, 2516},
        {"sized, no padding (a whole number of blocks)", sized.substr(0, 2516), 128, 2516},
        {"sized, padding that looks like data", sized + ByteString(44, 'x'), 128, 2516},
        {"not sized: every byte kept", Padded(CalcappObject(0, "DEMOAPP", 0, 2500), 44), 128, 2560},
        {"no signature: every byte kept",
         Padded("HDR\x01\x02\x03\x04\x05\x07"
                "DEMOAPP" +
                    ByteString(2500, 'b'),
                44),
         128, 2560},
        {"a length beyond what came", Padded(CalcappObject(1, "BIG", 9000, 2500), 0), 128, 2516},
        {"a length that would cut into an earlier block", Padded(CalcappObject(1, "CUT", 2300, 2496), 44), 128, 2556},
        {"a length shorter than the header", Padded(CalcappObject(1, "TINY", 10, 100), 10), 128, 127},
        {"the header ends before its length",
         ByteString("QVCALC\x01\x01\x05"
                    "AB",
                    11),
         128, 11},
        {"a 1024-byte last block", Padded(CalcappObject(1, "K", 2000, 2000 - 9 - 1 - 4), 48), 1024, 2000},
        {"nothing known of the last block", Padded(sized, 44), 0, 2560},
    };
    for (const auto& c : cases) EXPECT_EQ(ReceivedObjectEnd(c.received, c.lastBlock), c.end) << c.what;
    EXPECT_EQ(DeclaredObjectLength(sized), 2516u);
    EXPECT_EQ(DeclaredObjectLength(CalcappObject(0, "DEMOAPP", 0, 10)), std::nullopt);
}

} // namespace
