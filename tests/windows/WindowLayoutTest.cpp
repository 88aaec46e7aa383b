// SPDX-License-Identifier: GPL-3.0-or-later
// Every window laid out with the fonts of this machine, in every language: at least its
// design size, no control cut off by the window's edge, overlapping a sibling or too
// small for its text. With CALVYX_SCREENSHOT_DIR set, each window is also saved there
// as a PNG to look at (English, German and Chinese).
#include <gtest/gtest.h>

#include <functional>

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "tests/support/LayoutCheck.h"
#include "tests/support/ScopedSettings.h"
#include "tests/support/TestScreens.h"
#include "util/TransferText.h"
#include "windows/AboutDialog.h"
#include "windows/CalculatorSetupDialog.h"
#include "windows/ConnectionReportDialog.h"
#include "windows/LogWindow.h"
#include "windows/ScreenCaptureWindow.h"
#include "windows/TransferStatusDialog.h"
#include "windows/TransferTexts.h"

namespace {

// Each window in each language: English and every translation.
class LanguageLayout : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { ASSERT_TRUE(language_.Installed()) << GetParam(); }
    ScopedLanguage language_{QString::fromStdString(GetParam())};
};

void CheckAndShoot(QWidget& window, const QString& name, QSize designSize)
{
    const std::string where = name.toStdString() + " in " + LanguageLayout::GetParam();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)) << where;
    EXPECT_GE(window.width(), designSize.width()) << where;
    EXPECT_GE(window.height(), designSize.height()) << where;
    const QStringList problems = LayoutProblems(&window);
    EXPECT_TRUE(problems.isEmpty()) << where << ": " << problems.join("; ").toStdString();
    if (const QString file = ScreenshotPath(name, QString::fromStdString(LanguageLayout::GetParam())); !file.isEmpty()) {
        EXPECT_TRUE(window.grab().save(file)) << file.toStdString();
    }
}

TEST_P(LanguageLayout, LogWindow)
{
    ScopedSettings settings;
    LogWindow log;
    // The lines of a transfer as the session hands its events to the log, translated.
    TransferEvent event;
    event.kind = TransferKind::KermitReceive;
    event.file = "GRAPHS.CA";
    event.total = 4096;
    for (const TransferStage stage : {TransferStage::Started, TransferStage::Progress, TransferStage::Ended}) {
        event.stage = stage;
        event.done = stage == TransferStage::Progress ? 1024 : 0;
        event.elapsedMs = 1000;
        if (const auto line = TransferLogLine(event)) log.AppendLine(*line);
    }
    event.kind = TransferKind::KermitSend;
    event.file = "NOTES.TXT";
    event.stage = TransferStage::Started;
    if (const auto line = TransferLogLine(event)) log.AppendLine(*line);
    ASSERT_NO_FATAL_FAILURE(CheckAndShoot(log, "log-window", QSize(323, 422)));
    log.close();
}

TEST_P(LanguageLayout, StatusDialog)
{
    ScopedSettings settings;
    TransferStatusDialog status;
    TransferEvent event;
    event.kind = TransferKind::KermitReceive;
    event.file = "GRAPHS.CA";
    status.ShowTransfer(event);
    event.stage = TransferStage::Progress;
    event.done = 2048;
    event.total = 4096;
    event.elapsedMs = 2100;
    status.ShowTransfer(event);
    ASSERT_NO_FATAL_FAILURE(CheckAndShoot(status, "status-dialog", QSize(202, 104)));
    status.HideStatus();
}

TEST_P(LanguageLayout, InstructionsDialog)
{
    CalculatorSetupDialog dialog;
    for (const SetupInstructions kind : {SetupInstructions::SendCalcappByWire, SetupInstructions::LoadRom}) {
        QTimer::singleShot(0, &dialog, [&] {
            CheckAndShoot(dialog, kind == SetupInstructions::SendCalcappByWire ? "instructions-wire" : "instructions-rom",
                          QSize(258, 191));
            dialog.reject(); // whatever the check found, so that the dialog returns
        });
        QTimer::singleShot(10000, &dialog, [&] { dialog.done(-1); });
        dialog.ShowInstructions(kind);
        ASSERT_FALSE(HasFatalFailure());
    }
}

TEST_P(LanguageLayout, AboutWindow)
{
    AboutDialog about;
    ASSERT_NO_FATAL_FAILURE(CheckAndShoot(about, "about-window", QSize(317, 198 + 25)));
    about.close();
}

TEST_P(LanguageLayout, ConnectionReport)
{
    DoctorReport report;
    report.findings = {{"/dev/ttyUSB0", "you may not open /dev/ttyUSB0 (root:dialout 0660)", FindingSeverity::Problem,
                        "sudo adduser ana dialout"}};
    ConnectionReportDialog dialog(report);
    ASSERT_NO_FATAL_FAILURE(CheckAndShoot(dialog, "connection-report", QSize(560, 260)));
    dialog.close();
}

TEST_P(LanguageLayout, CaptureWindow)
{
    ScopedSettings settings;
    ScreenCaptureWindow capture;
    capture.SetScreen(EncodeScreen(GraphScreen(), 0x80));
    for (const int border : {1, 5}) {
        capture.borderSlider->setValue(border);
        ASSERT_NO_FATAL_FAILURE(CheckAndShoot(capture, QStringLiteral("capture-window-border%1").arg(border), QSize(296, 326)));
    }
    // With a message in the status line, at the widest scale.
    const QSize before = capture.size();
    capture.scaleBox->setCurrentIndex(3);
    capture.copyButton->click();
    ASSERT_FALSE(capture.statusLine->text().isEmpty());
    ASSERT_NO_FATAL_FAILURE(CheckAndShoot(capture, QStringLiteral("capture-window-copied"), QSize(296, 326)));
    EXPECT_EQ(capture.size(), before) << "the window kept its size for the message";
    capture.close();
}

// The check itself finds what a long translation does to a window.
TEST(LayoutCheck, FindsClippedOverlappingAndEscapingControls)
{
    QWidget window;
    window.setObjectName("window");
    window.resize(200, 100);
    auto* layout = new QHBoxLayout(&window);
    auto* fits = new QLabel("OK", &window);
    fits->setObjectName("fits");
    layout->addWidget(fits);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(LayoutProblems(&window), QStringList());

    auto* label = new QLabel("A text far too long for the few pixels it is given", &window);
    label->setObjectName("label");
    label->setGeometry(5, 5, 60, 20);
    auto* button = new QPushButton("Protokoll des Rechners leeren", &window);
    button->setObjectName("button");
    button->setGeometry(5, 40, 60, 25);
    auto* wrapped = new QLabel("Many words that wrap onto more lines than fit", &window);
    wrapped->setObjectName("wrapped");
    wrapped->setWordWrap(true);
    wrapped->setGeometry(100, 40, 60, 14);
    auto* outside = new QLabel("x", &window);
    outside->setObjectName("outside");
    outside->setGeometry(190, 90, 40, 20);
    for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(button), static_cast<QWidget*>(wrapped),
                       static_cast<QWidget*>(outside)})
        w->show();
    const QString problems = LayoutProblems(&window).join("; ");
    for (const char* expected : {"label needs", "button needs", "wrapped needs", "outside leaves window"})
        EXPECT_TRUE(problems.contains(expected)) << expected << " not in: " << problems.toStdString();
}

INSTANTIATE_TEST_SUITE_P(WindowLayout, LanguageLayout, ::testing::ValuesIn(LayoutLanguages()),
                         [](const ::testing::TestParamInfo<std::string>& testInfo) { return testInfo.param; });

} // namespace
