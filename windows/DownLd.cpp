#include "windows/DownLd.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TFDownLd* FDownLd = nullptr;

QString InstructionText(InstructionKind kind)
{
    switch (kind) {
    case ikSendCalcapp:
        return QStringLiteral("On the QV-T30s,T20s,T20+/T20:\r\n"
                              "\r\n"
                              "1.  Select the Calcapp to send.\r\n"
                              "2.  Press SEND function key.\r\n"
                              "3.  Choose: QV20/30 (Wire).\r\n"
                              "4.  Press OK function key.\r\n"
                              "5.  Click OK below.");
    case ikRomDownload:
        return QStringLiteral("On the Calculator:\r\n"
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

TFDownLd::TFDownLd(QWidget* parent)
    : TFormBase(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("DownLd"));
    setWindowTitle(QStringLiteral("Set the Calculator"));
    setModal(true);

    // A read-only text that reads like a label: no frame, the window's colour, not a
    // Tab stop.
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setTextInteractionFlags(Qt::NoTextInteraction);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->viewport()->setAutoFillBackground(false);
    Memo1->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; }"));
    // The longest instructions must fit without scrolling.
    const QFontMetrics metrics(Memo1->font());
    int widest = 0;
    for (InstructionKind kind : {ikSendCalcapp, ikRomDownload})
        for (const QString& line : InstructionText(kind).split(QStringLiteral("\r\n")))
            widest = qMax(widest, metrics.horizontalAdvance(line));
    Memo1->setMinimumSize(qMax(249, widest + 16), qMax(152, metrics.lineSpacing() * 8 + 16));

    btnOK = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setMinimumSize(89, 25);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setMinimumSize(89, 25);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addStretch(1);
    buttons->addWidget(btnCancel);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->addWidget(Memo1, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &TFDownLd::btnCancelClick);
}

void TFDownLd::SetMainWindow(QWidget* window) { FMainWindow = window; }

bool TFDownLd::ShowInstructions(InstructionKind kind)
{
    // The whole text is replaced: nothing of an earlier showing remains.
    Memo1->setPlainText(InstructionText(kind).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    btnCancel->setVisible(true);
    btnOK->setVisible(true);
    btnOK->setFocus();
    return exec() == QDialog::Accepted;
}

void TFDownLd::btnCancelClick() { reject(); }

void TFDownLd::FormShow()
{
    if (FMainWindow) CenterOver(FMainWindow);
}
