// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/ErrorBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {
// The shown window that stays on top, if any (the newest first).
QWidget* StayOnTopWindow()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        QWidget* window = *it;
        if (window->isVisible() && window->testAttribute(Qt::WA_WState_Created) &&
            window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) && !qobject_cast<QMessageBox*>(window))
            return window;
    }
    return nullptr;
}

ErrorHandler& Handler()
{
    static ErrorHandler handler;
    return handler;
}
} // namespace

QString ProgramTitle() { return QStringLiteral("Calvyx"); }

QString ErrorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > u'.') return message + u'.';
    return message;
}

void ShowApplicationError(const QString& message, QWidget* parent)
{
    const QString text = ErrorBoxText(message);
    if (Handler()) {
        Handler()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, ProgramTitle(), text, QMessageBox::Ok);
    KeepAboveProgress(box, parent);
    box.exec();
}

QWidget* MessageParent(QWidget* preferred)
{
    if (QWidget* top = StayOnTopWindow()) return top;
    return preferred;
}

void KeepAboveProgress(QMessageBox& box, QWidget* preferred)
{
    QWidget* top = StayOnTopWindow();
    // setParent resets the flags of a window: the dialog's own come back with it.
    const Qt::WindowFlags flags = box.windowFlags();
    box.setParent(top ? top : preferred, flags | Qt::Dialog);
    box.setWindowFlag(Qt::WindowStaysOnTopHint, top != nullptr);
}

ErrorHandler SetApplicationErrorHandler(ErrorHandler handler)
{
    ErrorHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

bool HasApplicationErrorHandler() { return static_cast<bool>(Handler()); }
