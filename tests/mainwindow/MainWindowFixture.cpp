// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/mainwindow/MainWindowFixture.h"

#include <cstdio>
#include <memory>

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "link/Trace.h"
#include "mainwindow/CommandLine.h"
#include "mainwindow/MainSettings.h"
#include "services/TransferServer.h"
#include "tests/mainwindow/TestEnvironment.h"
#include "util/HostInterfaces.h"
#include "util/Settings.h"
#include "util/Ticks.h"
#include "windows/AboutDialog.h"
#include "windows/CalculatorSetupDialog.h"
#include "windows/ErrorBox.h"
#include "windows/LogWindow.h"
#include "windows/TransferStatusDialog.h"

namespace mwtest {

std::optional<QString> ScriptedDialogs::AskSaveFile(const QString& title, const QString& proposedPath)
{
    saves.emplace_back(title, proposedPath);
    return saveAnswer ? saveAnswer(proposedPath) : std::optional<QString>(proposedPath);
}

std::optional<QString> ScriptedDialogs::AskOpenFile(const QString& title, const QString&, const QString& filters)
{
    opens.emplace_back(title, filters);
    if (onOpen) onOpen();
    return openAnswer;
}

bool ScriptedDialogs::ShowInstructions(SetupInstructions which)
{
    instructions.push_back(which);
    return instructionsAnswer;
}

bool ScriptedDialogs::Confirm(const QString& text, const QString&)
{
    confirms.push_back(text);
    return confirmScript ? confirmScript(text) : confirmAnswer;
}

void ScriptedDialogs::ShowMessage(const QString& text, const QString& caption, bool)
{
    messages.emplace_back(caption, text);
    if (onMessage) onMessage();
}

void MainWindowTest::SetUp()
{
    ClearSettings();
    root_ = std::make_unique<ScopedDeviceRoot>();
    // CALVYX_TEST_TRACE=1 prints the link's trace while a test runs.
    if (qEnvironmentVariableIsSet("CALVYX_TEST_TRACE"))
        SetTraceSink([](const std::string& line) { std::fprintf(stderr, "%u trace: %s\n", Now(), line.c_str()); });
    SetApplicationErrorHandler([this](const QString& text) { errors_.push_back(text); });
    ASSERT_TRUE(folder_.isValid());
}

void MainWindowTest::TearDown()
{
    if (window_) {
        window_->close();
        window_.reset();
    }
    SetApplicationErrorHandler(nullptr);
    SetTraceSink(nullptr);
    device_.reset();
    root_.reset();
}

void MainWindowTest::Start(const QStringList& args)
{
    SetProgramArguments(args);
    // Start-up restores "dir": the test's folder becomes the transfer folder.
    {
        auto reg = OpenSettings();
        reg->setValue("dir", folder_.path());
    }
    window_ = std::make_unique<MainWindow>([this] { ++endProcessCalls_; });
    if (!startupAbout_) window_->SkipStartupAbout(); // no start-up splash in the tests
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs_ = dialogs.get();
    window_->SetDialogs(std::move(dialogs));
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get(), 5000));
}

sim::SimUsbDevice& MainWindowTest::Device(bool plugged)
{
    if (!device_) device_ = sim::CreateUsbDevice(root_->Path());
    if (!plugged && device_->Plugged()) device_->Unplug();
    if (plugged && !device_->Plugged()) device_->Plug();
    return *device_;
}

bool MainWindowTest::WaitFor(const std::function<bool()>& pred, int timeoutMs) { return QTest::qWaitFor(pred, timeoutMs); }

void MainWindowTest::WaitConnected()
{
    ASSERT_TRUE(
        WaitFor([this] { return window_->ConnState() == StateConnected && window_->Server().KermitServerRunning(); }, 10000))
        << "state " << window_->ConnState() << ", errors: " << errors_.size();
}

::testing::AssertionResult MainWindowTest::WaitPolls(int count)
{
    // The spy is connected after the window's own slot, so each count is a poll done.
    QSignalSpy polls(window_->pollTimer, &QTimer::timeout);
    if (WaitFor([&] { return polls.count() >= count; }, count * MainWindow::PollIntervalMs + 10000))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "only " << polls.count() << " of " << count << " polls came";
}

::testing::AssertionResult MainWindowTest::WaitEventLoopTurn()
{
    // Posted after whatever is pending, so handled after it.
    auto reached = std::make_shared<bool>(false);
    QTimer::singleShot(0, window_.get(), [reached] { *reached = true; });
    if (WaitFor([&] { return *reached; }, 10000)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the event loop did not come round";
}

void MainWindowTest::ForceRecheck() { window_->Server().RestartQuietClock(Now() - 2 * MainWindow::QuietRecheckMs); }

} // namespace mwtest
