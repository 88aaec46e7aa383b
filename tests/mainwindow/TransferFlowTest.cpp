// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window does around a transfer, against the virtual calculator: the folder
// pane stays usable while a transfer runs and in the wait after it, the commands that
// need the link say why they wait, the receive by wire tells the user what to do and can
// be cancelled while it waits, and the failures nobody used to hear of reach the
// transfers view, the log and the status bar.
#include <atomic>
#include <functional>
#include <thread>

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "mainwindow/ConnectionState.h"
#include "services/TransferServer.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "tests/support/Calcapp.h"
#include "tools/sim/KermitRole.h"
#include "tools/sim/XModemSenderRole.h"
#include "util/Utils.h"
#include "windows/LogWindow.h"
#include "windows/ScreenCaptureWindow.h"
#include "windows/TransferHistory.h"
#include "windows/TransferStatusDialog.h"

namespace mwtest {
namespace {

// A thread of the calculator's that is joined however the test ends (its own waits are
// bounded).
class CalculatorThread {
public:
    explicit CalculatorThread(std::function<void()> play)
        : thread_([this, play = std::move(play)] {
              play();
              done_ = true;
          })
    {
    }
    ~CalculatorThread() { thread_.join(); }
    bool Done() const { return done_; }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

ByteString Bytes(std::size_t n)
{
    ByteString data;
    for (std::size_t i = 0; i < n; ++i) data += static_cast<char>((i * 7 + 1) & 0xFF);
    return data;
}

QString ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll().toHex()) : QString("<missing>");
}

class TransferFlowTest : public MainWindowTest {
protected:
    // The text fits the label it is shown in: nothing is cut off.
    static ::testing::AssertionResult Fits(const QLabel* label)
    {
        const int wanted = QFontMetrics(label->font()).horizontalAdvance(label->text());
        if (wanted <= label->width()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "\"" << label->text().toStdString() << "\" needs " << wanted << " pixels, " << label->width() << " shown";
    }
    QFileSystemModel* ListModel() const { return static_cast<QFileSystemModel*>(window_->fileList->model()); }
    QModelIndex Item(const QString& name) const
    {
        const QModelIndex index = ListModel()->index(QDir(ListModel()->rootPath()).filePath(name));
        return index.isValid() && !window_->fileList->visualRect(index).isEmpty() ? index : QModelIndex();
    }
    // A failure told everywhere: a row of the transfers view with its reason, a log
    // line and the status bar.
    void ExpectTold(int rowsBefore, const QString& file, const QString& outcome, const QString& line)
    {
        ASSERT_TRUE(WaitFor([&] { return window_->History().Count() > rowsBefore; }, 30000))
            << "no row for " << file.toStdString();
        const int row = window_->History().Count() - 1;
        EXPECT_EQ(window_->History().CellText(row, TransferHistory::FileColumn), file);
        EXPECT_EQ(window_->History().CellText(row, TransferHistory::OutcomeColumn), outcome);
        EXPECT_EQ(window_->History().data(window_->History().index(row, TransferHistory::OutcomeColumn), Qt::DisplayRole),
                  outcome);
        EXPECT_TRUE(window_->transfersDock->isVisible());
        EXPECT_EQ(window_->Log().Lines().filter(line).size(), 1) << window_->Log().Lines().join("\n").toStdString();
        EXPECT_EQ(window_->statusPanel->text(), line);
    }
};

// A file the calculator pushes over a serial line: while it comes, and in the few seconds
// after it in which the calculator may send another, the folder pane takes new folders,
// renames and moves; the commands that need the link say why they wait, in words that
// fit; then the window is idle again. Closing in the wait asks nothing: no transfer runs.
TEST_F(TransferFlowTest, FolderPaneIsUsableDuringATransferAndInTheWaitAfterIt)
{
    auto pty = sim::CreatePtyPort();
    ASSERT_NO_FATAL_FAILURE(Start({"calvyx", QString::fromStdString(pty->ProgramPortName())}));
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    EXPECT_FALSE(window_->waitPanel->isVisible());
    pty->SetThrottle(true); // the line's 960 bytes a second: a few seconds of transfer
    const ByteString data = Bytes(3000);
    sim::KermitResult pushed;
    auto push = [&pty, &data, &pushed](const std::string& name) {
        return [&pty, &data, &pushed, name] {
            sim::KermitCalculator calc(*pty);
            pushed = calc.PushFile(name, data);
        };
    };
    {
        CalculatorThread calculator(push("PUSHED.CA"));
        ASSERT_TRUE(WaitFor([&] { return window_->TransferBusy() && window_->StatusDialog().isVisible(); }, 10000))
            << "the push did not begin";
        ASSERT_FALSE(calculator.Done()) << "the push was over before it could be watched";
        EXPECT_EQ(window_->ConnState(), StateBusy);
        EXPECT_FALSE(window_->connectionBox->isEnabled()) << "the connection can change under a transfer";
        EXPECT_TRUE(window_->folderTree->isEnabled());
        EXPECT_TRUE(window_->fileList->isEnabled());
        // The user goes back to the main window (the test platform gives every window
        // that shows the keyboard; a desktop does not give it to this dialog).
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get(), 5000));
        // A new folder through its command, named in place.
        window_->newFolderAction->trigger();
        EXPECT_TRUE(QFileInfo(folder_.path() + "/New Folder").isDir());
        EXPECT_TRUE(window_->folderTree->Editing());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(window_->folderTree->Editing());
        EXPECT_EQ(window_->TreePath(), folder_.path() + "/New Folder");
        // Back up to the parent with the keyboard.
        window_->folderTree->setFocus();
        QTest::keyClick(window_->folderTree, Qt::Key_Backspace);
        EXPECT_EQ(window_->TreePath(), folder_.path());
        // The capture needs the link: it says why it waits and opens nothing.
        window_->captureAction->trigger();
        EXPECT_EQ(window_->statusPanel->text(), "A transfer is running; try again after it");
        EXPECT_TRUE(Fits(window_->statusPanel));
        EXPECT_FALSE(window_->CaptureWindow() && window_->CaptureWindow()->isVisible());
        ASSERT_TRUE(WaitFor([&] { return calculator.Done(); }, 30000));
    }
    ASSERT_TRUE(pushed.ok) << pushed.error << "\n" << window_->Log().Lines().join("\n").toStdString();
    // The file went to the folder it began in, though the tree moved meanwhile.
    EXPECT_EQ(ReadAll(folder_.path() + "/PUSHED.CA"), QString::fromLatin1(QByteArray::fromStdString(data).toHex()));

    // The wait after the transfer: said in the status bar, in words that fit.
    ASSERT_TRUE(WaitFor([&] { return window_->WaitingForCalculator(); }, 3000));
    EXPECT_TRUE(window_->waitPanel->isVisible());
    EXPECT_EQ(window_->waitPanel->text(), "Waiting for the calculator ...");
    EXPECT_TRUE(Fits(window_->waitPanel));
    // The pane: the pushed file renamed in place.
    ASSERT_TRUE(WaitFor([&] { return Item("PUSHED.CA").isValid(); }, 3000));
    window_->fileList->setFocus();
    QTest::mouseClick(window_->fileList->viewport(), Qt::LeftButton, {},
                      window_->fileList->visualRect(Item("PUSHED.CA")).center());
    window_->renameAction->trigger();
    ASSERT_TRUE(window_->fileList->Editing());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_TRUE(editor);
    editor->setText("RENAMED.CA");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(WaitFor([&] { return QFileInfo::exists(folder_.path() + "/RENAMED.CA"); }, 3000));
    EXPECT_TRUE(window_->WaitingForCalculator()) << "the wait ended early; the checks above ran after it";
    window_->receiveAction->trigger();
    EXPECT_EQ(window_->statusPanel->text(), "Waiting for the calculator; try again shortly");
    EXPECT_TRUE(Fits(window_->statusPanel));
    EXPECT_TRUE(dialogs_->instructions.empty()) << "the receive began while the calculator may still send";
    // About 4 s after the end the window is idle again.
    ASSERT_TRUE(WaitFor([&] { return !window_->WaitingForCalculator(); }, 8000));
    EXPECT_FALSE(window_->waitPanel->isVisible());
    EXPECT_TRUE(WaitFor([&] { return window_->ConnState() == StateConnected; }, 3000));

    // A second push: closing in the wait after it asks nothing.
    {
        CalculatorThread calculator(push("SECOND.CA"));
        ASSERT_TRUE(WaitFor([&] { return calculator.Done(); }, 30000));
    }
    ASSERT_TRUE(pushed.ok) << pushed.error;
    ASSERT_TRUE(WaitFor([&] { return window_->WaitingForCalculator(); }, 3000));
    window_->close();
    EXPECT_TRUE(dialogs_->confirms.empty()) << "asked to stop a transfer that had ended";
    EXPECT_EQ(endProcessCalls_, 1);
}

// The calculator asks for a file that is not in the folder: it hears "File does not
// exist", and the user hears it too.
TEST_F(TransferFlowTest, FetchOfAMissingFileIsTold)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    const int rows = window_->History().Count();
    sim::KermitResult fetched;
    {
        CalculatorThread calculator([&] { fetched = sim::KermitCalculator(device).FetchFile("MISSING.CA"); });
        ASSERT_TRUE(WaitFor([&] { return calculator.Done(); }, 30000));
    }
    EXPECT_FALSE(fetched.ok);
    EXPECT_NE(fetched.error.find("File does not exist"), std::string::npos) << fetched.error;
    ASSERT_NO_FATAL_FAILURE(
        ExpectTold(rows, "MISSING.CA", "Failed: the file does not exist", "Sending MISSING.CA failed: the file does not exist"));
}

// The calculator asks for a file by XModem and gives up while the user is still in the
// file dialog; the file picked afterwards finds nobody to take it.
TEST_F(TransferFlowTest, XModemFilePickedAfterTheCalculatorGaveUpIsTold)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    const QString file = folder_.path() + "/LATE.QVA";
    WriteStringToFile(Bytes(3000), file.toStdString());
    const int rows = window_->History().Count();
    std::atomic<bool> gaveUp{false};
    dialogs_->openAnswer = file;
    // The user picks the file only once the calculator has stopped waiting for it.
    dialogs_->onOpen = [&] { EXPECT_TRUE(WaitFor([&] { return gaveUp.load(); }, 20000)); };
    sim::XModemReceiveResult received;
    {
        CalculatorThread calculator([&] {
            sim::XModemReceivePlan plan;
            plan.giveUpMs = 2000;
            received = sim::ReceiveByXModem(device, plan);
            gaveUp = true;
        });
        ASSERT_TRUE(WaitFor([&] { return calculator.Done(); }, 30000));
    }
    EXPECT_FALSE(received.ok);
    ASSERT_EQ(dialogs_->opens.size(), 1u);
    ASSERT_NO_FATAL_FAILURE(ExpectTold(rows, "LATE.QVA", "Failed: the calculator did not take the file",
                                       "LATE.QVA: Not sent: the calculator did not take the file"));
}

// The calculator is unplugged while it pushes a file.
TEST_F(TransferFlowTest, UnplugInTheMiddleOfAPushIsTold)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    const int rows = window_->History().Count();
    device.SetThrottle(true); // the calculator sends at the line rate: the push lasts
    sim::KermitResult pushed;
    {
        CalculatorThread calculator([&] { pushed = sim::KermitCalculator(device).PushFile("HALF.CA", Bytes(8000)); });
        ASSERT_TRUE(WaitFor(
            [&] { return window_->StatusDialog().isVisible() && window_->StatusDialog().statusText->text().contains("bytes"); },
            20000))
            << "the push did not get under way";
        device.Unplug();
        ASSERT_TRUE(WaitFor([&] { return calculator.Done(); }, 40000));
    }
    EXPECT_FALSE(pushed.ok);
    ASSERT_TRUE(WaitFor([&] { return window_->History().Count() > rows; }, 30000));
    const QString outcome = window_->History().CellText(window_->History().Count() - 1, TransferHistory::OutcomeColumn);
    EXPECT_TRUE(outcome.startsWith("Failed: ")) << outcome.toStdString();
    ASSERT_NO_FATAL_FAILURE(ExpectTold(rows, "HALF.CA", outcome, "Receiving HALF.CA failed: " + outcome.mid(8)));
}

// The receive by wire from the menu: the instructions first, then the dialog, named for
// what it does, says what to do on the calculator and waits; Cancel ends the wait, with
// no message (the user knows) and a row that says so.
TEST_F(TransferFlowTest, ReceiveByWireSaysWhatToDoAndCancelEndsTheWait)
{
    Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    const int rows = window_->History().Count();
    TransferStatusDialog& dialog = window_->StatusDialog();
    QString title;
    QString text;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (!dialog.isVisible() || dialog.statusText->text().isEmpty()) return;
        title = dialog.windowTitle();
        text = dialog.statusText->text();
        user.stop();
        dialog.cancelButton->click();
    });
    user.start(50);
    const auto start = QDateTime::currentMSecsSinceEpoch();
    window_->ReceiveByWire(true);
    user.stop();
    EXPECT_EQ(dialogs_->instructions, std::vector<SetupInstructions>{SetupInstructions::SendCalcappByWire});
    EXPECT_EQ(title, "Receiving by wire");
    EXPECT_EQ(text, "Now send the Calcapp from the calculator's send menu");
    EXPECT_LT(QDateTime::currentMSecsSinceEpoch() - start, 10000) << "Cancel did not end the wait";
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialogs_->messages.empty());
    EXPECT_TRUE(dialogs_->saves.empty());
    ASSERT_EQ(window_->History().Count(), rows + 1);
    EXPECT_EQ(window_->History().CellText(rows, TransferHistory::OutcomeColumn), "Cancelled");
    EXPECT_EQ(window_->Log().Lines().filter("Receiving by wire: cancelled").size(), 1);
    EXPECT_FALSE(window_->TransferBusy());
}

// What the save proposes and keeps: the header's name, else the time it came (never the
// same "untitled" twice); a sized object without its padding, any other whole.
TEST_F(TransferFlowTest, ReceivedObjectsAreSavedUnderASensibleNameWithoutPadding)
{
    auto& device = Device(true);
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(WaitConnected());
    const struct {
        const char* what;
        ByteString object;
        QString name; // empty: the time it came
        std::size_t saved;
    } cases[] = {
        {"sized and named", CalcappOfSize(1, "DEMOAPP", 2516), "DEMOAPP", 2516},
        {"named, not sized: the padding stays", CalcappOfSize(0, "PADDED", 2516), "PADDED", 2560},
        {"neither", CalcappOfSize(0, "", 700), "", 768},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs_->saves.clear();
        sim::WireSendResult sent;
        {
            CalculatorThread calculator([&] { sent = sim::SendObjectByWire(device, c.object); });
            window_->ReceiveByWire(false);
        }
        ASSERT_TRUE(sent.ok) << sent.error;
        ASSERT_EQ(dialogs_->saves.size(), 1u);
        const QString proposed = dialogs_->saves[0].second;
        const QString name = QFileInfo(proposed).fileName();
        if (c.name.isEmpty()) {
            EXPECT_TRUE(name.startsWith("Calcapp-" + QDate::currentDate().toString("yyyyMMdd"))) << name.toStdString();
        } else {
            EXPECT_EQ(name, c.name);
        }
        EXPECT_EQ(QFileInfo(proposed).size(), static_cast<qint64>(c.saved));
        EXPECT_EQ(ReadAll(proposed).left(2 * static_cast<int>(c.object.size())),
                  QString::fromLatin1(QByteArray::fromStdString(c.object).toHex()));
        EXPECT_EQ(window_->History().Record(window_->History().Count() - 1).size, static_cast<int64_t>(c.saved));
    }
    EXPECT_TRUE(errors_.empty());
}

} // namespace
} // namespace mwtest
