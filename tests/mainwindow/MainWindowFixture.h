// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window as the program creates it, with the long-lived windows beside it, its
// questions to the user answered by a script, errors recorded instead of shown, and the
// calculator's USB pipe device played by the virtual calculator in a private device root.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "mainwindow/MainWindow.h"
#include "mainwindow/UserDialogs.h"
#include "tests/support/LinkFixtures.h"
#include "tools/sim/SimPort.h"

namespace mwtest {

class ScriptedDialogs : public UserDialogs {
public:
    std::optional<QString> AskSaveFile(const QString& title, const QString& proposedPath) override;
    std::optional<QString> AskOpenFile(const QString& title, const QString& startPath, const QString& filters) override;
    bool ShowInstructions(SetupInstructions which) override;
    bool Confirm(const QString& text, const QString& caption) override;
    void ShowMessage(const QString& text, const QString& caption, bool error) override;

    // Answers.
    std::function<std::optional<QString>(const QString& proposed)> saveAnswer; // default: the proposal
    std::optional<QString> openAnswer;
    bool instructionsAnswer = true;
    bool confirmAnswer = true;
    std::function<bool(const QString& text)> confirmScript; // when set, answers instead of confirmAnswer
    std::function<void()> onMessage;                        // runs while a message is shown
    std::function<void()> onOpen;                           // runs while the open dialog is shown
    // What was asked.
    std::vector<std::pair<QString, QString>> saves; // title, proposed path
    std::vector<std::pair<QString, QString>> opens; // title, filters
    std::vector<SetupInstructions> instructions;
    std::vector<QString> confirms;
    std::vector<std::pair<QString, QString>> messages; // caption, text
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and shows the main window for the program's arguments (program first).
    void Start(const QStringList& args = {QStringLiteral("calvyx")});
    // The USB pipe device, created plugged or not.
    sim::SimUsbDevice& Device(bool plugged = true);
    // Processes events until pred holds or timeoutMs passes; returns pred().
    static bool WaitFor(const std::function<bool()>& pred, int timeoutMs);
    // Waits for the connected state with the Kermit server running on the device.
    void WaitConnected();
    // Waits until the window's poll has run `count` more times; false (with the count
    // seen) when the polls stopped coming.
    ::testing::AssertionResult WaitPolls(int count);
    // Waits until the event loop has handled what was posted to it before this call (a
    // deferred step has run by then).
    ::testing::AssertionResult WaitEventLoopTurn();
    // The next poll re-checks the device at once (the link counts as quiet).
    void ForceRecheck();

    std::unique_ptr<ScopedDeviceRoot> root_;
    std::unique_ptr<sim::SimUsbDevice> device_;
    std::unique_ptr<MainWindow> window_;
    ScriptedDialogs* dialogs_ = nullptr;
    std::vector<QString> errors_;
    int endProcessCalls_ = 0;
    bool startupAbout_ = false; // Start shows the About display at the first activation
    QTemporaryDir folder_;      // the transfer folder of the test
};

} // namespace mwtest
