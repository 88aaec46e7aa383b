// SPDX-License-Identifier: GPL-3.0-or-later
// Help, the About window and the log: the help menu, F1 and the context pop-ups, the
// About display at start-up, and the hidden key sequence that reveals the log commands.
#include "mainwindow/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "link/Trace.h"
#include "mainwindow/HelpContext.h"
#include "mainwindow/HelpSystem.h"
#include "mainwindow/MainWindowParts.h"
#include "util/Utils.h"
#include "util/Version.h"
#include "windows/AboutDialog.h"
#include "windows/LogWindow.h"

using namespace MainWindowParts;

namespace {

constexpr int AboutDisplayMs = 500;

} // namespace

void MainWindow::ShowHelpContents() { Help().ShowContents(); }
void MainWindow::ShowCommunicationsHelp() { ShowHelpTopic(HelpContextOf(communicationsHelpAction)); }
void MainWindow::ShowHelpTopic(int context) { Help().ShowTopic(context); }

void MainWindow::ShowContextPopup(const QPoint& point, int context)
{
    if (IsTopicContext(context)) {
        ShowHelpTopic(context);
        return;
    }
    if (context > 1) {
        Help().ShowContextPopup(point, context);
        return;
    }
    const QWidget* focus = QApplication::focusWidget();
    const QString hint = focus ? HintOf(focus) : QString();
    if (!hint.isEmpty())
        Help().ShowTextPopup(point, hint);
    else
        ShowHelpContents();
}

void MainWindow::HelpKey()
{
    // A highlighted menu item answers with its own context, placed at the window.
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()); menu && menu->activeAction()) {
        const int context = HelpContextOf(menu->activeAction());
        ShowContextPopup(mapToGlobal(QPoint(0, 0)), context != 0 ? context : HelpContextOf(this));
        return;
    }
    QWidget* focus = QApplication::focusWidget();
    QWidget* control = focus ? focus : this;
    ShowContextPopup(control->mapToGlobal(QPoint(0, 0)), NearestHelpContext(control));
}

void MainWindow::ShowAbout() { About().exec(); }

void MainWindow::AboutTimerTick()
{
    if (aboutStep_ == 0) {
        Trace(GetVersionString());
        aboutStep_ = 1;
        aboutTimer->setInterval(AboutDisplayMs);
        About().exec();
        if (about_) about_->hide();
    } else if (aboutStep_ == 1) {
        // This tick comes from inside the About window's modal loop.
        if (about_) about_->close();
        aboutStep_ = 2;
        aboutTimer->setInterval(AboutFirstTickMs);
    } else {
        aboutTimer->stop();
        ++aboutStep_;
    }
}

void MainWindow::ShowLog()
{
    LogWindow& log = Log();
    log.show();
    if (log.isVisible() && (log.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) log.showNormal();
    log.raise();
    log.activateWindow();
}

void MainWindow::LogKeyTyped(QChar key)
{
    const QChar expected = QLatin1Char(LogKeys[logKeysTyped_]);
    if (key != expected) {
        logKeysTyped_ = 0;
        return;
    }
    if (++logKeysTyped_ < 3) return;
    logKeysTyped_ = 0;
    logAction->setVisible(true);
    logButtonAction->setVisible(true);
    ShowLog();
}
