// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/UserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "windows/CalculatorSetupDialog.h"
#include "windows/ErrorBox.h"

std::optional<QString> StandardDialogs::AskSaveFile(const QString& title, const QString& proposedPath)
{
    QFileDialog dialog(window_, title, proposedPath);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.selectFile(proposedPath);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> StandardDialogs::AskOpenFile(const QString& title, const QString& startPath, const QString& filters)
{
    const QString path = QFileDialog::getOpenFileName(window_, title, startPath, filters);
    if (path.isEmpty()) return std::nullopt;
    return path;
}

StandardDialogs::~StandardDialogs() { delete instructions_; }

bool StandardDialogs::ShowInstructions(SetupInstructions which)
{
    if (!instructions_) {
        instructions_ = new CalculatorSetupDialog;
        instructions_->SetMainWindow(window_);
    }
    return instructions_->ShowInstructions(which);
}

bool StandardDialogs::InstructionsVisible() const { return instructions_ && instructions_->isVisible(); }

void StandardDialogs::FocusInstructions()
{
    if (instructions_) instructions_->activateWindow();
}

bool StandardDialogs::Confirm(const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    KeepAboveProgress(box, window_);
    return box.exec() == QMessageBox::Yes;
}

void StandardDialogs::ShowMessage(const QString& text, const QString& caption, bool error)
{
    QMessageBox box(error ? QMessageBox::Critical : QMessageBox::Information, caption, text, QMessageBox::Ok);
    KeepAboveProgress(box, window_);
    box.exec();
}
