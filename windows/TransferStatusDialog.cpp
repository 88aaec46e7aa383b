// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/TransferStatusDialog.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

#include "util/HostInterfaces.h"
#include "util/MainThread.h"
#include "windows/TransferTexts.h"

TransferStatusDialog::TransferStatusDialog(QWidget* parent)
    : WindowBase(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TransferStatusDialog"));
    setModal(false);

    nameText = new QLabel(this);
    nameText->setObjectName(QStringLiteral("nameText"));
    nameText->setAlignment(Qt::AlignCenter);
    nameText->setTextFormat(Qt::PlainText);
    QFont nameFont = nameText->font();
    nameFont.setBold(true);
    nameText->setFont(nameFont);

    statusText = new QLabel(this);
    statusText->setObjectName(QStringLiteral("statusText"));
    statusText->setAlignment(Qt::AlignCenter);
    statusText->setWordWrap(true);
    // Room for the three lines of a progress text, whatever the font; the dialog must
    // not change size with every report.
    const QFontMetrics metrics(statusText->font());
    statusText->setFixedSize(qMax(161, metrics.averageCharWidth() * 30), qMax(57, metrics.lineSpacing() * 3 + 6));

    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setTextVisible(false);
    progressBar->setFixedSize(statusText->width(), 11);

    cancelButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), tr("&Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setMinimumSize(97, 25);
    cancelButton->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 8, 24, 8);
    layout->setSpacing(6);
    layout->addWidget(nameText, 0, Qt::AlignHCenter);
    layout->addWidget(statusText, 0, Qt::AlignHCenter);
    layout->addWidget(progressBar, 0, Qt::AlignHCenter);
    layout->addWidget(cancelButton, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cancelButton, &QPushButton::clicked, this, &TransferStatusDialog::CancelClicked);
    // Cancel, Escape and the close button all reject the dialog: the session hears it.
    connect(this, &QDialog::rejected, this, [this] {
        if (OnCancel) OnCancel();
    });
    // Without a window to centre on, the dialog keeps its design place.
    move(371, 305);
}

void TransferStatusDialog::SetCenterForm(QWidget* form) { centerForm_ = form; }

bool TransferStatusDialog::ShowTransfer(const TransferEvent& event)
{
    switch (event.stage) {
    case TransferStage::Started: {
        // A transfer the calculator began comes while the user may be typing in the
        // folder pane (a name being edited): the dialog shows without taking the
        // keyboard, so an Escape meant for the editor cannot cancel the transfer. One
        // the user began from the window takes it, for Escape to cancel.
        const bool calculatorBegan = event.kind == TransferKind::KermitReceive || event.kind == TransferKind::KermitSend ||
                                     event.kind == TransferKind::XModemSend;
        setAttribute(Qt::WA_ShowWithoutActivating, calculatorBegan);
        Open(ShownTransferCaption(event), true);
        break;
    }
    case TransferStage::Connecting:
        Report(StatusKind::Connecting, ShownTransferStatus(event), 0, 0);
        break;
    case TransferStage::Progress:
        Report(StatusKind::Progress, ShownTransferStatus(event), static_cast<int>(event.done), static_cast<int>(event.total));
        break;
    case TransferStage::Notice:
        Report(StatusKind::Notice, ShownTransferStatus(event), 0, 0);
        break;
    case TransferStage::Ended:
        if (event.outcome == TransferOutcome::Completed) {
            Report(StatusKind::Finished, {}, 0, 0);
            break;
        }
        const DialogAtFailedEnd rule = DialogAtEndOf(event);
        if (const QString text = ShownTransferStatus(event); rule.sayEnd && !text.isEmpty())
            Report(StatusKind::Notice, text, 0, 0);
        if (rule.close) hide();
        break;
    }
    return true;
}

void TransferStatusDialog::OpenStatus(const std::string& caption, bool cancelShown)
{
    RunInMainThread([&] { Open(QString::fromStdString(caption), cancelShown); });
}

void TransferStatusDialog::UpdateStatus(const StatusReport& report)
{
    RunInMainThread([&] { Report(report.kind, QString::fromStdString(report.text), report.done, report.total); });
}

void TransferStatusDialog::Open(const QString& shownCaption, bool cancelShown)
{
    setWindowTitle(shownCaption);
    nameText->setText(shownCaption);
    // Wide enough for the whole name in the body and, with room for the title bar's
    // icon and buttons, in the title; never wider than the screen.
    const QMargins margins = layout()->contentsMargins();
    const int besideBody = margins.left() + margins.right();
    constexpr int TitleBarRoom = 120; // icon and buttons beside the title
    int wanted = qMax(statusText->width(), QFontMetrics(nameText->font()).horizontalAdvance(shownCaption) + 8);
    wanted = qMax(wanted, QFontMetrics(font()).horizontalAdvance(shownCaption) + TitleBarRoom - besideBody);
    if (const QScreen* s = screen()) wanted = qMin(wanted, s->availableGeometry().width() - besideBody);
    nameText->setFixedWidth(wanted);
    statusText->clear();
    progressBar->setMaximum(1);
    progressBar->setValue(0);
    cancelButton->setVisible(cancelShown);
    cancelButton->setEnabled(true);
    show();
    ProcessPendingEvents();
}

bool TransferStatusDialog::Report(StatusKind kind, const QString& text, int value, int maximum)
{
    // A hidden dialog (not opened yet, or cancelled) ignores the report entirely.
    if (!isVisible()) return false;
    statusText->setText(text);
    switch (kind) {
    case StatusKind::Progress:
        // Without a total (or past the one announced) there is no share to show: the bar
        // moves without end rather than looking full.
        if (maximum > 0 && value <= maximum) {
            progressBar->setMaximum(maximum);
            progressBar->setValue(qMax(value, 0));
        } else {
            progressBar->setMaximum(0);
            progressBar->setValue(0);
        }
        ProcessPendingEvents();
        break;
    case StatusKind::Finished:
        done(QDialog::Accepted);
        break;
    case StatusKind::Notice:
    case StatusKind::Connecting:
        ProcessPendingEvents();
        break;
    }
    return true;
}

void TransferStatusDialog::HideStatus()
{
    RunInMainThread([this] { hide(); });
}

void TransferStatusDialog::CancelClicked() { reject(); }

QString TransferStatusDialog::CloseForMessage()
{
    if (!isVisible()) return {};
    QString last = statusText->text();
    last.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // hide(), not reject(): a reject would cancel through OnCancel.
    hide();
    return last.trimmed();
}

QString TransferStatusDialog::CloseInto(const QString& message)
{
    const QString last = CloseForMessage();
    if (last.isEmpty() || message.contains(last)) return message;
    return message + QStringLiteral("\n\n") + last;
}

void TransferStatusDialog::WindowShown()
{
    if (centerForm_) CenterOver(centerForm_);
}

void TransferStatusDialog::showEvent(QShowEvent* event)
{
    shown_ = true;
    WindowBase::showEvent(event);
}

void TransferStatusDialog::hideEvent(QHideEvent* event)
{
    // A minimised dialog still counts as shown, as the transfers expect.
    if (!event->spontaneous()) shown_ = false;
    WindowBase::hideEvent(event);
}
