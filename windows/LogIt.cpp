#include "windows/LogIt.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include "util/GeneralError.h"
#include "windows/ErrorBox.h"
#include "windows/windowsPosSave.h"

TFLogForm* FLogForm = nullptr;

namespace {
QAction* AddItem(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut, bool enabled)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    item->setShortcut(shortcut);
    // The shortcut is shown in the menu; the memo handles the keys itself.
    item->setShortcutContext(Qt::WidgetShortcut);
    item->setEnabled(enabled);
    return item;
}
} // namespace

TFLogForm::TFLogForm(QWidget* parent) : TFormBase(parent, Qt::Window)
{
    setObjectName(QStringLiteral("LogForm"));
    setWindowTitle(QStringLiteral("Log Form"));
    setSizeGripEnabled(true);
    resize(323, 422);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    // Tab moves on to the buttons rather than typing into the log.
    Memo1->setTabChangesFocus(true);

    btnClear = new QPushButton(QStringLiteral("Clear Log"), this);
    btnClear->setObjectName(QStringLiteral("btnClear"));
    btnClear->setAutoDefault(false);
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnClear);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Memo1, 1);
    layout->addLayout(buttons);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Undo1 = AddItem(PopupMenu1, "Undo1", QStringLiteral("Undo"), {}, false);
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N1"));
    Cut1 = AddItem(PopupMenu1, "Cut1", QStringLiteral("Cut"), QKeySequence(Qt::CTRL | Qt::Key_X), false);
    Copy1 = AddItem(PopupMenu1, "Copy1", QStringLiteral("Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), true);
    Paste1 = AddItem(PopupMenu1, "Paste1", QStringLiteral("Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), false);
    Delete1 = AddItem(PopupMenu1, "Delete1", QStringLiteral("Delete"), {}, false);
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N2"));
    SelectAll1 = AddItem(PopupMenu1, "SelectAll1", QStringLiteral("Select All"), QKeySequence(Qt::CTRL | Qt::Key_A), true);

    connect(Memo1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(Memo1->viewport()->mapToGlobal(at)); });
    connect(Copy1, &QAction::triggered, this, &TFLogForm::Copy1Click);
    connect(SelectAll1, &QAction::triggered, this, &TFLogForm::SelectAll1Click);
    connect(btnClear, &QPushButton::clicked, this, &TFLogForm::btnClearClick);
    connect(btnOK, &QPushButton::clicked, this, &TFLogForm::btnOKClick);

    WindowPosSave1 = new TWindowPosSave(this, QStringLiteral("LogForm"));
    // FormCreate: the placement (and visibility) of the last session.
    try {
        WindowPosSave1->RestorePositions(true, true);
    } catch (const CalvyxError& error) {
        ShowApplicationError(QString::fromStdString(error.what()), this);
    }
}

void TFLogForm::AppendLine(const QString& text)
{
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QScrollBar* bar = Memo1->verticalScrollBar();
    const bool atBottom = bar->value() == bar->maximum();
    QTextCursor cursor(Memo1->document());
    cursor.movePosition(QTextCursor::End);
    if (FHasLines || !Memo1->document()->isEmpty()) cursor.insertBlock();
    cursor.insertText(lines);
    FHasLines = true;
    if (atBottom) bar->setValue(bar->maximum());
}

QStringList TFLogForm::Lines() const
{
    if (!FHasLines && Memo1->document()->isEmpty()) return {};
    QStringList lines;
    for (QTextBlock block = Memo1->document()->begin(); block.isValid(); block = block.next()) lines << block.text();
    return lines;
}

void TFLogForm::btnClearClick()
{
    Memo1->clear();
    FHasLines = false;
}

void TFLogForm::btnOKClick() { close(); }

void TFLogForm::Copy1Click() { Memo1->copy(); }

void TFLogForm::SelectAll1Click() { Memo1->selectAll(); }

void TFLogForm::FormClose() { WindowPosSave1->SavePositions(); }
