// SPDX-License-Identifier: GPL-3.0-or-later
// The class view against two virtual calculators on pseudo-terminals, one with a label
// and one known by its socket: its table follows both, each push lands in its own
// calculator's inbox and row and in the Transfers history under its calculator, a line
// that hangs up changes only its own row, a row's Cancel stops only that calculator's
// transfer, and every XModem request gets the file chosen for the class.
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <optional>

#include <QDir>
#include <QFile>
#include <QLineEdit>
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
#include "windows/TransferHistory.h"
#include "xmodem/XModemBlock.h"

namespace {

constexpr int LimitMs = 20000;

class ClassView : public ::testing::Test {
protected:
    // a has a label, b is known by its socket.
    ClassView() { SetClassLabel(a->ProgramPortName(), "Ana"); }

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
    // The calculator asks the PC for a file by XModem.
    static std::future<sim::XModemReceiveResult> AskByXModem(sim::SimPort& port)
    {
        return std::async(std::launch::async, [&port] {
            sim::XModemReceivePlan plan;
            plan.startRepeatMs = 1000;
            plan.giveUpMs = 10000;
            return sim::ReceiveByXModem(port, plan);
        });
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

namespace {

TEST_F(ClassView, EachTransferGoesIntoTheHistoryUnderItsOwnCalculator)
{
    const QString historyPath = folder.filePath(QStringLiteral("state/transfers.jsonl"));
    TransferHistory history(historyPath);
    window.SetHistory(&history);
    const ByteString one = RandomBytes(2000, 4), two = RandomBytes(1500, 5);
    auto pushA = Push(*a, "ONE.CA", one);
    auto pushB = Push(*b, "TWO.CA", two);
    ASSERT_TRUE(ServeUntil([&] { return Ready(pushA) && Ready(pushB); }, LimitMs)) << "the pushes did not end";
    ASSERT_TRUE(pushA.get().ok);
    ASSERT_TRUE(pushB.get().ok);
    ASSERT_TRUE(ServeUntil([&] { return history.Count() == 2; }, 5000)) << history.Count() << " rows";

    TransferHistory reloaded(historyPath);
    reloaded.Load();
    ASSERT_EQ(reloaded.Count(), 2) << "the rows were not kept in the file";
    const struct {
        const char* file;
        QString calculator;
        QString folder;
        int64_t size;
    } expected[] = {
        {"ONE.CA", QStringLiteral("Ana"), Inbox(*a), 2000},
        {"TWO.CA", QString::fromStdString(b->ProgramPortName()), Inbox(*b), 1500},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.file);
        for (const TransferHistory* h : {&history, &reloaded}) {
            int row = -1;
            for (int r = 0; r < h->Count(); ++r)
                if (h->Record(r).file == QLatin1String(e.file)) row = r;
            ASSERT_GE(row, 0) << "no row for the file";
            EXPECT_EQ(h->CellText(row, TransferHistory::CalculatorColumn), e.calculator);
            EXPECT_EQ(h->Record(row).folder, e.folder);
            EXPECT_EQ(h->Record(row).size, e.size);
            EXPECT_EQ(h->Record(row).outcome, TransferOutcome::Completed);
        }
    }
}

TEST_F(ClassView, EveryXModemRequestIsAnsweredWithTheFileChosenForTheClass)
{
    // No file chosen: a request is declined at once, nobody is asked.
    auto declined = AskByXModem(*a);
    ASSERT_TRUE(ServeUntil([&] { return Ready(declined); }, LimitMs)) << "the request was not answered";
    const sim::XModemReceiveResult none = declined.get();
    EXPECT_FALSE(none.ok);
    EXPECT_TRUE(none.cancelled) << none.error;
    ASSERT_TRUE(ServeUntil([&] { return !Result(*a).isEmpty(); }, 5000));
    EXPECT_FALSE(Result(*a).contains(QStringLiteral("done"))) << Result(*a).toStdString();

    // The teacher chooses the file once; both calculators ask at once and both get it.
    const ByteString handout = RandomBytes(3000, 6);
    const QString handoutPath = folder.filePath(QStringLiteral("HANDOUT.QVA"));
    WriteStringToFile(handout, handoutPath.toStdString());
    window.askXModemFile = [&]() -> std::optional<QString> { return handoutPath; };
    EXPECT_FALSE(window.xmodemClearButton->isEnabled());
    window.xmodemChooseButton->click();
    EXPECT_EQ(window.XModemFile(), handoutPath);
    EXPECT_EQ(window.xmodemFileEdit->text(), QDir::toNativeSeparators(handoutPath));
    ASSERT_TRUE(window.xmodemClearButton->isEnabled());

    auto askA = AskByXModem(*a);
    auto askB = AskByXModem(*b);
    ASSERT_TRUE(ServeUntil([&] { return Ready(askA) && Ready(askB); }, LimitMs)) << "the sends did not end";
    for (auto* ask : {&askA, &askB}) {
        const sim::XModemReceiveResult r = ask->get();
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_GE(r.data.size(), handout.size());
        EXPECT_EQ(r.data.substr(0, handout.size()), handout);
        EXPECT_EQ(r.data.substr(handout.size()), ByteString(r.data.size() - handout.size(), xmodem::PadByte));
    }

    // Cleared: declined again.
    window.xmodemClearButton->click();
    EXPECT_TRUE(window.XModemFile().isEmpty());
    auto again = AskByXModem(*b);
    ASSERT_TRUE(ServeUntil([&] { return Ready(again); }, LimitMs));
    EXPECT_TRUE(again.get().cancelled);
}

} // namespace
