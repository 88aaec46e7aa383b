// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/ConnectionReportDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "windows/ErrorBox.h"

ConnectionReportDialog::ConnectionReportDialog(const DoctorReport& report, QWidget* parent)
    : WindowBase(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("ConnectionReportDialog"));
    setWindowTitle(tr("Connection Report"));
    setModal(true);

    summaryLabel = new QLabel(report.calculatorUsable ? tr("A calculator connection can be opened.")
                                                      : tr("No calculator connection can be opened. What stands in the way, "
                                                           "and the command that fixes each thing:"),
                              this);
    summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    summaryLabel->setWordWrap(true);

    // The findings are the words of calvyx-cli doctor, the same in every language, so
    // that they can be searched for and the commands copied as they are.
    reportText = new QPlainTextEdit(QString::fromStdString(FormatDoctorReport(report)), this);
    reportText->setObjectName(QStringLiteral("reportText"));
    reportText->setReadOnly(true);
    reportText->setLineWrapMode(QPlainTextEdit::NoWrap);
    reportText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    reportText->setMinimumSize(560, 260);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    closeButton = buttons->button(QDialogButtonBox::Close);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summaryLabel);
    layout->addWidget(reportText, 1);
    layout->addWidget(buttons);
}

void ShowConnectionReport(QWidget* parent)
{
    ConnectionReportDialog dialog(ExamineThisMachine(), parent);
    dialog.exec();
}

QMessageBox* ConnectionErrorBox(const QString& message, QWidget* parent)
{
    auto* box = new QMessageBox(QMessageBox::Critical, ProgramTitle(), ErrorBoxText(message), QMessageBox::Ok, parent);
    KeepAboveProgress(*box, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* why = box->addButton(ConnectionReportDialog::tr("&Why?"), QMessageBox::HelpRole);
    why->setObjectName(QStringLiteral("whyButton"));
    // A Help button would close the box; the report opens over it and the box stays.
    why->disconnect();
    QObject::connect(why, &QPushButton::clicked, box, [box] { ShowConnectionReport(box); });
    return box;
}

void ShowConnectionError(const QString& message, QWidget* parent)
{
    if (HasApplicationErrorHandler()) {
        ShowApplicationError(message, parent);
        return;
    }
    ConnectionErrorBox(message, parent)->exec();
}
