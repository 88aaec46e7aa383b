#include "services/CmStatus.h"

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
#include "windows/LogIt.h"

TFCmStatus* FCmStatus = nullptr;

namespace {
QPointer<QWidget>& CenterForm()
{
    static QPointer<QWidget> form;
    return form;
}

enum StatusKind { skNotice = 0, skConnecting = 1, skProgress = 2, skFinished = 3 };
} // namespace

TFCmStatus::TFCmStatus(QWidget* parent)
    : TFormBase(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("CmStatus"));
    setModal(false);

    Label1 = new QLabel(QStringLiteral("Default stuff"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    // Room for the three lines of a progress text, whatever the font; the dialog must
    // not change size with every report.
    const QFontMetrics metrics(Label1->font());
    Label1->setFixedSize(qMax(161, metrics.averageCharWidth() * 30), qMax(57, metrics.lineSpacing() * 3 + 6));

    ProgressBar2 = new QProgressBar(this);
    ProgressBar2->setObjectName(QStringLiteral("ProgressBar2"));
    ProgressBar2->setTextVisible(false);
    ProgressBar2->setFixedSize(Label1->width(), 11);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setMinimumSize(97, 25);
    BitBtn1->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 8, 24, 8);
    layout->setSpacing(6);
    layout->addWidget(Label1, 0, Qt::AlignHCenter);
    layout->addWidget(ProgressBar2, 0, Qt::AlignHCenter);
    layout->addWidget(BitBtn1, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(BitBtn1, &QPushButton::clicked, this, &TFCmStatus::BitBtn1Click);
    // Without a window to centre on, the dialog keeps its design place.
    move(371, 305);
}

void TFCmStatus::SetCenterForm(QWidget* form) { CenterForm() = form; }

void TFCmStatus::OpenStatus(const std::string& caption, bool cancelShown)
{
    RunInMainThread([&] {
        setWindowTitle(QString::fromStdString(caption));
        Label1->clear();
        ProgressBar2->setMaximum(1);
        ProgressBar2->setValue(0);
        Trace("awill1 is ok");
        BitBtn1->setVisible(cancelShown);
        BitBtn1->setEnabled(true);
        show();
        ProcessPendingEvents();
    });
}

void TFCmStatus::UpdateStatus(const std::string& text, int kind, int doneCount, int total, int /*reserved*/)
{
    RunInMainThread([&] {
        // A hidden dialog (not opened yet, or cancelled) ignores the report entirely.
        if (!isVisible()) return;
        const QString shown = QString::fromStdString(text);
        if (FLogForm) FLogForm->AppendLine(shown);
        Label1->setText(shown);
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

void TFCmStatus::HideStatus()
{
    RunInMainThread([this] { hide(); });
}

void TFCmStatus::BitBtn1Click() { reject(); }

void TFCmStatus::FormShow()
{
    if (CenterForm()) CenterOver(CenterForm());
}

void TFCmStatus::showEvent(QShowEvent* event)
{
    FVisible = true;
    TFormBase::showEvent(event);
}

void TFCmStatus::hideEvent(QHideEvent* event)
{
    // A minimised dialog still counts as shown, as the transfers expect.
    if (!event->spontaneous()) FVisible = false;
    TFormBase::hideEvent(event);
}
