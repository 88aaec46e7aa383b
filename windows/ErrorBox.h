// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The application's error display: a message box with the application title as
// caption, an error icon and an OK button. Tests install a handler that records.
#include <functional>

#include <QString>

class QMessageBox;
class QWidget;

// A period is appended when the text's last character sorts after the period.
// The program's name as its boxes show it in their title.
QString ProgramTitle();
QString ErrorBoxText(const QString& message);
void ShowApplicationError(const QString& message, QWidget* parent = nullptr);
// Replaces the message box (nullptr restores it); returns the previous handler.
using ErrorHandler = std::function<void(const QString&)>;
ErrorHandler SetApplicationErrorHandler(ErrorHandler handler);
// Whether a handler replaces the message box (the other error boxes honour it too).
bool HasApplicationErrorHandler();

// A message box is never hidden behind a window that stays on top (the transfer status
// dialog is one): while such a window is shown, the box's parent is that window (so the
// window manager keeps the box above it) and the box stays on top itself. Without one
// the parent is preferred.
QWidget* MessageParent(QWidget* preferred);
// Sets the box's parent and flags as above; call before showing it.
void KeepAboveProgress(QMessageBox& box, QWidget* preferred);
