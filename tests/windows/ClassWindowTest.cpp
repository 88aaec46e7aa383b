// SPDX-License-Identifier: GPL-3.0-or-later
// The class view against two virtual calculators on pseudo-terminals: its table follows
// both, each push lands in its own calculator's inbox and row, a line that hangs up
// changes only its own row, and a row's Cancel stops only that calculator's transfer.
#include <gtest/gtest.h>

#include <future>
#include <memory>

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include "services/CalculatorClass.h"
#include "tests/support/Bytes.h"
#include "tests/support/ScopedSettings.h"
#include "tests/support/Serving.h"
#include "tests/support/SimCalculator.h"
#include "tools/sim/KermitRole.h"
#include "tools/sim/SimPort.h"
#include "util/Utils.h"
#include "windows/ClassWindow.h"

namespace {

constexpr int LimitMs = 20000;

class ClassView : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.Start(folder.path().toStdString(), [this] {
            return std::vector<std::string>{a->ProgramPortName(), b->ProgramPortName()};
        });
        window.show();
        const bool both = ServeUntil([this] { return State(*a) == "Connected" && State(*b) == "Connected"; }, 5000);
        ASSERT_TRUE(both) << "rows: " << State(*a).toStdString() << " / " << State(*b).toStdString();
    }

    int Row(sim::SimPort& port) const { return window.Table().RowOf(port.ProgramPortName()); }
    QString State(sim::SimPort& port) const
    {
        const int row = Row(port);
        return row < 0 ? QStringLiteral("(no row)") : window.Table().At(row).state;
    }
    QString Result(sim::SimPort& port) const { return window.Table().At(Row(port)).result; }
    QString Inbox(sim::SimPort& port) const
    {
        return folder.filePath(QString::fromStdString(InboxName(ClassLabel(port.ProgramPortName()))));
    }

    ScopedSettings settings;
    QTemporaryDir folder;
    std::unique_ptr<sim::SimPort> a = sim::CreatePtyPort();
    std::unique_ptr<sim::SimPort> b = sim::CreatePtyPort();
    ClassWindow window;
};

TEST_F(ClassView, TheTableFollowsTwoCalculatorsEachInItsOwnRowAndInbox)
{
    const ByteString data = RandomBytes(3000, 1);
    auto push = Push(*a, "ONE.CA", data);
    ASSERT_TRUE(ServeUntil([&] { return Ready(push); }, LimitMs)) << "the push did not end";
    const sim::KermitResult r = push.get();
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_TRUE(ServeUntil([&] { return !Result(*a).isEmpty(); }, 5000)) << "no result in the row";

    EXPECT_TRUE(Result(*a).contains(QStringLiteral("ONE.CA"))) << Result(*a).toStdString();
    EXPECT_TRUE(Result(*a).contains(QStringLiteral("done"))) << Result(*a).toStdString();
    EXPECT_TRUE(Result(*b).isEmpty()) << "the other row took the push: " << Result(*b).toStdString();
    EXPECT_EQ(ReadFile(Inbox(*a) + QStringLiteral("/ONE.CA")), data);
    EXPECT_FALSE(QFile::exists(Inbox(*b) + QStringLiteral("/ONE.CA")));
    EXPECT_EQ(window.Table().At(Row(*a)).inbox.toStdString(), Inbox(*a).toStdString());

    // A line that hangs up changes its own row only.
    b->Hangup();
    ASSERT_TRUE(ServeUntil([&] { return State(*b) == "Hung up"; }, 5000)) << State(*b).toStdString();
    EXPECT_EQ(State(*a), "Connected");

    // Closing the window lets every calculator go and empties the table.
    window.close();
    EXPECT_FALSE(window.Serving());
    EXPECT_EQ(window.Table().rowCount(), 0);
}

TEST_F(ClassView, ARowsCancelStopsOnlyThatCalculatorsTransfer)
{
    QPushButton* cancelA = window.CancelButtonOf(a->ProgramPortName());
    QPushButton* cancelB = window.CancelButtonOf(b->ProgramPortName());
    ASSERT_TRUE(cancelA && cancelB);
    EXPECT_FALSE(cancelA->isEnabled()) << "nothing to cancel yet";
    // The first progress of a's transfer presses its row's Cancel.
    bool pressed = false;
    QObject::connect(&window.Table(), &QAbstractItemModel::dataChanged, &window, [&] {
        const int row = Row(*a);
        if (!pressed && row >= 0 && window.Table().At(row).done > 0) {
            pressed = true;
            EXPECT_TRUE(cancelA->isEnabled());
            // b's Cancel follows b's own transfer, which may be running too.
            EXPECT_EQ(cancelB->isEnabled(), !window.Table().At(Row(*b)).transfer.isEmpty());
            cancelA->click();
        }
    });
    auto pushA = Push(*a, "BIG.CA", RandomBytes(20000, 2));
    const ByteString small = RandomBytes(500, 3);
    auto pushB = Push(*b, "SMALL.CA", small);
    ASSERT_TRUE(ServeUntil([&] { return Ready(pushA) && Ready(pushB); }, LimitMs)) << "the pushes did not end";
    const sim::KermitResult ra = pushA.get(), rb = pushB.get();
    EXPECT_TRUE(pressed);
    EXPECT_FALSE(ra.ok);
    EXPECT_EQ(ra.error, "Canceled by PC");
    ASSERT_TRUE(rb.ok) << rb.error;
    EXPECT_FALSE(QFile::exists(Inbox(*a) + QStringLiteral("/BIG.CA")));
    EXPECT_EQ(ReadFile(Inbox(*b) + QStringLiteral("/SMALL.CA")), small);
    ASSERT_TRUE(ServeUntil([&] { return !Result(*a).isEmpty(); }, 5000));
    EXPECT_FALSE(Result(*a).contains(QStringLiteral("done"))) << Result(*a).toStdString();
    EXPECT_FALSE(cancelA->isEnabled()) << "the transfer is over";
}

} // namespace
