// SPDX-License-Identifier: GPL-3.0-or-later
// The file name a received object proposes (main window and calvyx-cli receive).
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

#include "services/ObjectName.h"

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

} // namespace
