// Every window laid out with the fonts of this machine: at least its design size, no
// control cut off by the window's edge or overlapping a sibling. With
// CALVYX_SCREENSHOT_DIR set, each window is also saved there as a PNG to look at.
#include <gtest/gtest.h>

#include <functional>

#include <QAbstractScrollArea>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QPixmap>
#include <QProgressBar>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "windows/TransferStatusDialog.h"
#include "tests/support/ScopedSettings.h"
#include "tests/support/TestScreens.h"
#include "windows/AboutDialog.h"
#include "windows/CalculatorSetupDialog.h"
#include "windows/LogWindow.h"
#include "windows/ScreenCaptureWindow.h"

namespace {

// Visible child widgets that stick out of their parent, or overlap a visible sibling
// managed by the same layout.
QStringList LayoutProblems(QWidget* parent)
{
    QStringList problems;
    QList<QWidget*> children;
    for (QObject* object : parent->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child && !child->isWindow() && !child->isHidden()) children << child;
    }
    for (QWidget* child : children) {
        if (!parent->rect().contains(child->geometry()))
            problems << child->objectName() + " leaves " + parent->objectName();
        for (QWidget* other : children)
            if (other != child && other->objectName() < child->objectName() && child->geometry().intersects(other->geometry())
                && parent->layout() && parent->layout()->indexOf(child) >= 0 && parent->layout()->indexOf(other) >= 0)
                problems << child->objectName() + " overlaps " + other->objectName();
        // The inner parts of scrolled views and sliders are theirs to place.
        if (!qobject_cast<QAbstractScrollArea*>(child)) problems << LayoutProblems(child);
    }
    return problems;
}

void CheckAndShoot(QWidget& window, const QString& name, QSize designSize)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)) << name.toStdString();
    EXPECT_GE(window.width(), designSize.width()) << name.toStdString();
    EXPECT_GE(window.height(), designSize.height()) << name.toStdString();
    const QStringList problems = LayoutProblems(&window);
    EXPECT_TRUE(problems.isEmpty()) << name.toStdString() << ": " << problems.join("; ").toStdString();
    const QString folder = qEnvironmentVariable("CALVYX_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        EXPECT_TRUE(window.grab().save(QDir(folder).filePath(name + ".png")));
    }
}

TEST(WindowLayout, LogWindow)
{
    ScopedSettings settings;
    LogWindow log;
    for (const char* line : {"Receiving GRAPHS.CA", "1 024 of 4 096 bytes", "25 %", "960 bytes/s", "",
                             "Sending NOTES.TXT", "User cancel"})
        log.AppendLine(line);
    CheckAndShoot(log, "log-window", QSize(323, 422));
    log.close();
}

TEST(WindowLayout, StatusDialog)
{
    ScopedSettings settings;
    TransferStatusDialog status;
    status.OpenStatus("Receiving GRAPHS.CA", true);
    status.UpdateStatus({"2 048 of 4 096 bytes\r\n50 %\r\n960 bytes/s", StatusKind::Progress, 2048, 4096});
    CheckAndShoot(status, "status-dialog", QSize(202, 104));
    status.HideStatus();
}

TEST(WindowLayout, InstructionsDialog)
{
    CalculatorSetupDialog dialog;
    for (const InstructionKind kind : {ikSendCalcapp, ikRomDownload}) {
        QTimer::singleShot(0, &dialog, [&] {
            CheckAndShoot(dialog, kind == ikSendCalcapp ? "instructions-wire" : "instructions-rom", QSize(258, 191));
            dialog.reject();
        });
        QTimer::singleShot(10000, &dialog, [&] { dialog.done(-1); });
        dialog.ShowInstructions(kind);
    }
}

TEST(WindowLayout, AboutWindow)
{
    AboutDialog about;
    CheckAndShoot(about, "about-window", QSize(317, 198 + 25));
    about.close();
}

TEST(WindowLayout, CaptureWindow)
{
    ScopedSettings settings;
    ScreenCaptureWindow capture;
    capture.SetScreen(EncodeScreen(GraphScreen(), 0x80));
    for (const int border : {1, 5}) {
        capture.borderSlider->setValue(border);
        CheckAndShoot(capture, QStringLiteral("capture-window-border%1").arg(border), QSize(296, 326));
    }
    // With a message in the status line, at the widest scale.
    const QSize before = capture.size();
    capture.scaleBox->setCurrentIndex(3);
    capture.copyButton->click();
    ASSERT_FALSE(capture.statusLine->text().isEmpty());
    CheckAndShoot(capture, QStringLiteral("capture-window-copied"), QSize(296, 326));
    EXPECT_EQ(capture.size(), before) << "the window kept its size for the message";
    capture.close();
}

} // namespace
