// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ConnectionReportDialog: why the calculator cannot be opened, as calvyx-cli doctor
// says it (link/ConnectionDoctor.h), with the command that fixes each thing. Opened by
// the Why? button of a connection failure and by a Help menu item.
#include <QMessageBox>
#include <QString>

#include "link/ConnectionDoctor.h"
#include "windows/WindowBase.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

class ConnectionReportDialog : public WindowBase {
    Q_OBJECT
public:
    explicit ConnectionReportDialog(const DoctorReport& report, QWidget* parent = nullptr);

    QLabel* summaryLabel;
    QPlainTextEdit* reportText; // the findings, read-only, to copy the commands from
    QPushButton* closeButton;
};

// Examines this machine and shows the report, modally.
void ShowConnectionReport(QWidget* parent);

// The message box of a connection failure: the error text, OK and a Why? button that
// opens the connection report. Built, not shown, so that a test can press its buttons.
QMessageBox* ConnectionErrorBox(const QString& message, QWidget* parent = nullptr);
// Shows ConnectionErrorBox modally, or hands the text to the application's error
// handler when one is installed (windows/ErrorBox.h), as every error does.
void ShowConnectionError(const QString& message, QWidget* parent = nullptr);
