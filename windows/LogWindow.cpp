// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/LogWindow.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTime>
#include <QVBoxLayout>

#include "util/CalvyxError.h"
#include "util/Settings.h"
#include "windows/ErrorBox.h"
#include "windows/WindowPlacement.h"

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

LogWindow::LogWindow(QWidget* parent) : WindowBase(parent, Qt::Window)
{
    setObjectName(QStringLiteral("LogWindow"));
    setWindowTitle(tr("Log"));
    setSizeGripEnabled(true);
    resize(323, 422);

    logText = new QPlainTextEdit(this);
    logText->setObjectName(QStringLiteral("logText"));
    logText->setLineWrapMode(QPlainTextEdit::NoWrap);
    logText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    logText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    logText->setContextMenuPolicy(Qt::CustomContextMenu);
    // Tab moves on to the buttons rather than typing into the log.
    logText->setTabChangesFocus(true);

    clearButton = new QPushButton(tr("&Clear Log"), this);
    clearButton->setObjectName(QStringLiteral("clearButton"));
    clearButton->setAutoDefault(false);
    saveButton = new QPushButton(tr("&Save as Text..."), this);
    saveButton->setObjectName(QStringLiteral("saveButton"));
    saveButton->setAutoDefault(false);
    okButton = new QPushButton(tr("&OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clearButton);
    buttons->addWidget(saveButton);
    buttons->addStretch();
    buttons->addWidget(okButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(logText, 1);
    layout->addLayout(buttons);

    contextMenu = new QMenu(this);
    contextMenu->setObjectName(QStringLiteral("contextMenu"));
    undoItem = AddItem(contextMenu, "undoItem", tr("&Undo"), {}, false);
    contextMenu->addSeparator()->setObjectName(QStringLiteral("editSeparator"));
    cutItem = AddItem(contextMenu, "cutItem", tr("Cu&t"), QKeySequence(Qt::CTRL | Qt::Key_X), false);
    copyItem = AddItem(contextMenu, "copyItem", tr("&Copy"), QKeySequence(Qt::CTRL | Qt::Key_C), true);
    pasteItem = AddItem(contextMenu, "pasteItem", tr("&Paste"), QKeySequence(Qt::CTRL | Qt::Key_V), false);
    deleteItem = AddItem(contextMenu, "deleteItem", tr("&Delete"), {}, false);
    contextMenu->addSeparator()->setObjectName(QStringLiteral("selectSeparator"));
    selectAllItem = AddItem(contextMenu, "selectAllItem", tr("Select &All"), QKeySequence(Qt::CTRL | Qt::Key_A), true);

    connect(logText, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { contextMenu->popup(logText->viewport()->mapToGlobal(at)); });
    connect(copyItem, &QAction::triggered, this, &LogWindow::CopySelection);
    connect(selectAllItem, &QAction::triggered, this, &LogWindow::SelectAllText);
    connect(clearButton, &QPushButton::clicked, this, &LogWindow::ClearLog);
    connect(okButton, &QPushButton::clicked, this, &LogWindow::OkClicked);
    connect(saveButton, &QPushButton::clicked, this, &LogWindow::SaveAsText);
    askSavePath = [this]() -> std::optional<QString> {
        const QString path = QFileDialog::getSaveFileName(
            this, tr("Save Log as Text"), QDir::homePath() + QStringLiteral("/calvyx-log.txt"), tr("Text files (*.txt)"));
        if (path.isEmpty()) return std::nullopt;
        return path;
    };

    // "LogForm" is the settings section the window's placement has always been kept in.
    windowPlacement = new WindowPlacement(this, QStringLiteral("LogForm"));
    // FormCreate: the placement (and visibility) of the last session.
    try {
        windowPlacement->RestorePositions(true, true);
    } catch (const CalvyxError& error) {
        ShowApplicationError(QString::fromStdString(error.what()), this);
    }
}

void LogWindow::AppendLine(const QString& text)
{
    QString joined = text;
    joined.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    const QStringList lines = joined.split(u'\n');
    // Every line shows when it was written, the lines of one entry the same time.
    const QString stamp = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    QStringList shown;
    for (const QString& line : lines) shown << (line.isEmpty() ? stamp : stamp + QStringLiteral("  ") + line);
    QScrollBar* bar = logText->verticalScrollBar();
    const bool atBottom = bar->value() == bar->maximum();
    QTextCursor cursor(logText->document());
    cursor.movePosition(QTextCursor::End);
    if (!lines_.isEmpty()) cursor.insertBlock();
    cursor.insertText(shown.join(u'\n'));
    lines_ << lines;
    if (atBottom) bar->setValue(bar->maximum());
}

QStringList LogWindow::Lines() const { return lines_; }

QStringList LogWindow::ShownLines() const
{
    if (lines_.isEmpty()) return {};
    QStringList lines;
    for (QTextBlock block = logText->document()->begin(); block.isValid(); block = block.next()) lines << block.text();
    return lines;
}

void LogWindow::ClearLog()
{
    logText->clear();
    lines_.clear();
}

void LogWindow::SaveAsText()
{
    const auto path = askSavePath ? askSavePath() : std::nullopt;
    if (!path) return;
    QSaveFile file(*path);
    QString text = ShownLines().join(u'\n');
    if (!text.isEmpty()) text += u'\n';
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text) || file.write(text.toUtf8()) < 0 || !file.commit())
        ShowApplicationError(tr("Cannot write %1: %2").arg(QDir::toNativeSeparators(*path), file.errorString()), this);
}

void LogWindow::OkClicked() { close(); }

void LogWindow::CopySelection() { logText->copy(); }

void LogWindow::SelectAllText() { logText->selectAll(); }

void LogWindow::WindowClosed()
{
    // This runs before the window is hidden, so the placement would record it as open
    // and it would come back, empty, at the next start: a closed log is recorded closed.
    windowPlacement->SavePositions();
    auto key = OpenSettings(windowPlacement->Section);
    WriteSettingBool(*key, QStringLiteral("Visible"), false);
}
