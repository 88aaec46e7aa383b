#include "windows/TransferStatusDialog.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

#include "link/PortLink.h"
#include "util/MainThread.h"
#include "windows/LogWindow.h"

TransferStatusDialog* TheStatusDialog = nullptr;

namespace {
QPointer<QWidget>& CenterForm()
{
    static QPointer<QWidget> form;
    return form;
}

enum StatusKind { skNotice = 0, skConnecting = 1, skProgress = 2, skFinished = 3 };
} // namespace

TransferStatusDialog::TransferStatusDialog(QWidget* parent)
    : TFormBase(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("CmStatus"));
    setModal(false);

    statusText = new QLabel(QStringLiteral("Default stuff"), this);
    statusText->setObjectName(QStringLiteral("statusText"));
    statusText->setAlignment(Qt::AlignCenter);
    statusText->setWordWrap(true);
    // Room for the three lines of a progress text, whatever the font; the dialog must
    // not change size with every report.
    const QFontMetrics metrics(statusText->font());
    statusText->setFixedSize(qMax(161, metrics.averageCharWidth() * 30), qMax(57, metrics.lineSpacing() * 3 + 6));

    ProgressBar2 = new QProgressBar(this);
    ProgressBar2->setObjectName(QStringLiteral("ProgressBar2"));
    ProgressBar2->setTextVisible(false);
    ProgressBar2->setFixedSize(statusText->width(), 11);

    cancelButton = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setMinimumSize(97, 25);
    cancelButton->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 8, 24, 8);
    layout->setSpacing(6);
    layout->addWidget(statusText, 0, Qt::AlignHCenter);
    layout->addWidget(ProgressBar2, 0, Qt::AlignHCenter);
    layout->addWidget(cancelButton, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cancelButton, &QPushButton::clicked, this, &TransferStatusDialog::CancelClicked);
    // Without a window to centre on, the dialog keeps its design place.
    move(371, 305);
}

void TransferStatusDialog::SetCenterForm(QWidget* form) { CenterForm() = form; }

void TransferStatusDialog::OpenStatus(const std::string& caption, bool cancelShown)
{
    RunInMainThread([&] {
        setWindowTitle(QString::fromStdString(caption));
        statusText->clear();
        ProgressBar2->setMaximum(1);
        ProgressBar2->setValue(0);
        Trace("awill1 is ok");
        cancelButton->setVisible(cancelShown);
        cancelButton->setEnabled(true);
        show();
        ProcessPendingEvents();
    });
}

void TransferStatusDialog::UpdateStatus(const std::string& text, int kind, int doneCount, int total, int /*reserved*/)
{
    RunInMainThread([&] {
        // A hidden dialog (not opened yet, or cancelled) ignores the report entirely.
        if (!isVisible()) return;
        const QString shown = QString::fromStdString(text);
        if (TheLogWindow) TheLogWindow->AppendLine(shown);
        statusText->setText(shown);
        switch (kind) {
        case skProgress:
            ProgressBar2->setMaximum(qMax(total, 0));
            ProgressBar2->setValue(qBound(0, doneCount, qMax(total, 0)));
            ProcessPendingEvents();
            break;
        case skFinished:
            done(QDialog::Accepted);
            break;
        case skNotice:
        case skConnecting:
        default:
            ProcessPendingEvents();
            break;
        }
    });
}

void TransferStatusDialog::HideStatus()
{
    RunInMainThread([this] { hide(); });
}

void TransferStatusDialog::CancelClicked() { reject(); }

void TransferStatusDialog::FormShow()
{
    if (CenterForm()) CenterOver(CenterForm());
}

void TransferStatusDialog::showEvent(QShowEvent* event)
{
    FVisible = true;
    TFormBase::showEvent(event);
}

void TransferStatusDialog::hideEvent(QHideEvent* event)
{
    // A minimised dialog still counts as shown, as the transfers expect.
    if (!event->spontaneous()) FVisible = false;
    TFormBase::hideEvent(event);
}
