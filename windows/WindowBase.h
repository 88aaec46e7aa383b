// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the program's dialogs and secondary windows share: a close that always runs
// the window's WindowClosed (whether it is closed by a button, Esc, the close box, or by
// the main window while hidden), a WindowShown hook, and centring over another window.
#include <QDialog>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

// The top-left corner that centres a window of size own over the window at center;
// halves are truncated toward zero, so a larger window sticks out to the left/top.
QPoint CenteredOrigin(const QRect& center, const QSize& own);

class WindowBase : public QDialog {
    Q_OBJECT
public:
    explicit WindowBase(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    // Every way of closing the window ends here.
    void done(int result) override;

protected:
    // Runs once for every close of the window, before it is hidden.
    virtual void WindowClosed() {}
    // Runs when the window is shown by the program (not when the user restores it).
    virtual void WindowShown() {}
    // Moves this window so that it is centred over window (frame to frame).
    void CenterOver(const QWidget* window);

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
};
