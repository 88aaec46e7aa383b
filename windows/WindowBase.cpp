// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/WindowBase.h"

#include <QCloseEvent>
#include <QShowEvent>

QPoint CenteredOrigin(const QRect& center, const QSize& own)
{
    // Integer division truncates toward zero, as the placement rule wants.
    return {center.left() + (center.width() - own.width()) / 2, center.top() + (center.height() - own.height()) / 2};
}

WindowBase::WindowBase(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

void WindowBase::CenterOver(const QWidget* window)
{
    if (!window) return;
    // Before the first showing the frame is not known yet; the client size stands in.
    const QSize own = frameGeometry().size().isValid() ? frameGeometry().size() : size();
    move(CenteredOrigin(window->frameGeometry(), own));
}

void WindowBase::done(int result)
{
    WindowClosed();
    QDialog::done(result);
}

void WindowBase::closeEvent(QCloseEvent* event)
{
    // A visible dialog turns the close into done() (through reject()); a hidden one is
    // closed here directly, as the main window does at shutdown.
    if (!isVisible()) WindowClosed();
    QDialog::closeEvent(event);
}

void WindowBase::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) WindowShown();
    QDialog::showEvent(event);
}
