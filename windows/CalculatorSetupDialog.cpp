// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/CalculatorSetupDialog.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

QString InstructionText(SetupInstructions which)
{
    switch (which) {
    case SetupInstructions::SendCalcappByWire:
        return CalculatorSetupDialog::tr(
            "On the QV T20, T20+, T20s, T30s:\r\n"
            "\r\n"
            "1.  Select the Calcapp to send.\r\n"
            "2.  Press SEND function key.\r\n"
            "3.  Choose: QV20/30 (Wire).\r\n"
            "4.  Press OK function key.\r\n"
            "5.  Click OK below.");
    case SetupInstructions::LoadRom:
        return CalculatorSetupDialog::tr(
            "On the Calculator:\r\n"
            "\r\n"
            "1.  Unplug USB cable\r\n"
            "2.  Hold + and - (3 secs.) while pressing RESET\r\n"
            "3.  Press 1 to load OS/ROM.\r\n"
            "4.  Press 1 for USB.\r\n"
            "5.  Plug USB cable\r\n"
            "6.  Press OK below.");
    }
    return {};
}

CalculatorSetupDialog::CalculatorSetupDialog(QWidget* parent)
    : WindowBase(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("CalculatorSetupDialog"));
    setWindowTitle(tr("Set the Calculator"));
    setModal(true);

    // A read-only text that reads like a label: no frame, the window's colour, not a
    // Tab stop.
    instructionsText = new QPlainTextEdit(this);
    instructionsText->setObjectName(QStringLiteral("instructionsText"));
    instructionsText->setReadOnly(true);
    instructionsText->setFrameShape(QFrame::NoFrame);
    instructionsText->setFocusPolicy(Qt::NoFocus);
    instructionsText->setTextInteractionFlags(Qt::NoTextInteraction);
    instructionsText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    instructionsText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    instructionsText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    instructionsText->viewport()->setAutoFillBackground(false);
    instructionsText->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
    // The longest instructions must fit without scrolling.
    const QFontMetrics metrics(instructionsText->font());
    int widest = 0;
    for (SetupInstructions kind : {SetupInstructions::SendCalcappByWire, SetupInstructions::LoadRom})
        for (const QString& line : InstructionText(kind).split(QStringLiteral("\r\n")))
            widest = qMax(widest, metrics.horizontalAdvance(line));
    instructionsText->setMinimumSize(qMax(249, widest + 16), qMax(152, metrics.lineSpacing() * 8 + 16));

    okButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), tr("&OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setMinimumSize(89, 25);
    okButton->setDefault(true);
    cancelButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), tr("&Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setMinimumSize(89, 25);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addStretch(1);
    buttons->addWidget(cancelButton);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->addWidget(instructionsText, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &CalculatorSetupDialog::CancelClicked);
}

void CalculatorSetupDialog::SetMainWindow(QWidget* window) { mainWindow_ = window; }

bool CalculatorSetupDialog::ShowInstructions(SetupInstructions kind)
{
    // The whole text is replaced: nothing of an earlier showing remains.
    instructionsText->setPlainText(InstructionText(kind).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    cancelButton->setVisible(true);
    okButton->setVisible(true);
    okButton->setFocus();
    return exec() == QDialog::Accepted;
}

void CalculatorSetupDialog::CancelClicked() { reject(); }

void CalculatorSetupDialog::WindowShown()
{
    if (mainWindow_) CenterOver(mainWindow_);
}
