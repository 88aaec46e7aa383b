#include "windows/FormBase.h"

#include <QCloseEvent>
#include <QShowEvent>

QPoint CenteredOrigin(const QRect& center, const QSize& own)
{
    // Integer division truncates toward zero, as the placement rule wants.
    return {center.left() + (center.width() - own.width()) / 2, center.top() + (center.height() - own.height()) / 2};
}

TFormBase::TFormBase(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

void TFormBase::CenterOver(const QWidget* window)
{
    if (!window) return;
    // Before the first showing the frame is not known yet; the client size stands in.
    const QSize own = frameGeometry().size().isValid() ? frameGeometry().size() : size();
    move(CenteredOrigin(window->frameGeometry(), own));
}

void TFormBase::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TFormBase::closeEvent(QCloseEvent* event)
{
    // A visible dialog turns the close into done() (through reject()); a hidden one is
    // closed here directly, as the main window does at shutdown.
    if (!isVisible()) FormClose();
    QDialog::closeEvent(event);
}

void TFormBase::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) FormShow();
    QDialog::showEvent(event);
}
