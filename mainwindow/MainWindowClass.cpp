// SPDX-License-Identifier: GPL-3.0-or-later
// The class view: the window gives its one calculator up and a ClassWindow serves every
// calculator found at once; closing it brings the single calculator back.
#include <QAction>
#include <QLabel>

#include "mainwindow/MainWindow.h"
#include "services/CalculatorClass.h"
#include "services/CalculatorSession.h"
#include "util/Utils.h"
#include "windows/ClassWindow.h"

void MainWindow::ShowClassView(bool on)
{
    if (on == classMode_) {
        if (on && classWindow_) classWindow_->raise();
        return;
    }
    if (on) {
        if (LinkReserved() || transferBusy_) {
            // A transfer of this window's has the link: the class waits until it is over.
            const QSignalBlocker quiet(classAction);
            classAction->setChecked(false);
            statusPanel->setText(tr("A transfer is in progress: the class view opens once it is over"));
            return;
        }
        classMode_ = true;
        // The class serves every calculator, this window's too: it lets its port go.
        session_->Disconnect();
        if (!classWindow_) {
            classWindow_ = new ClassWindow(this);
            classWindow_->SetHistory(history_);
            connect(classWindow_, &ClassWindow::ClassEnded, this, [this] { Guarded([this] { ShowClassView(false); }); });
        }
        classWindow_->Start(session_->Folder(), findCalculators_ ? findCalculators_ : FindCalculators);
        classWindow_->show();
        classWindow_->raise();
        {
            const QSignalBlocker quiet(classAction);
            classAction->setChecked(true);
        }
        ShowConnState();
        statusPanel->setText(tr("Class view: the calculators are served in the Class window"));
        return;
    }
    classMode_ = false;
    {
        const QSignalBlocker quiet(classAction);
        classAction->setChecked(false);
    }
    if (classWindow_ && classWindow_->isVisible()) classWindow_->close(); // it lets the class go
    // The window's own calculator again, opened at the session's first look.
    session_->Follow(selectedPort_);
    session_->CheckDevice();
    ShowConnState();
}
