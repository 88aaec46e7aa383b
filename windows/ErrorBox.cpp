// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/ErrorBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {
ErrorHandler& Handler()
{
    static ErrorHandler handler;
    return handler;
}
} // namespace

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
    QMessageBox::critical(parent, QApplication::applicationDisplayName(), text);
}

ErrorHandler SetApplicationErrorHandler(ErrorHandler handler)
{
    ErrorHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}

bool HasApplicationErrorHandler() { return static_cast<bool>(Handler()); }
