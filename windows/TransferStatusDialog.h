// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TransferStatusDialog: the small modeless dialog that shows a running transfer (a title, a text
// of up to three lines, a progress bar and Cancel), in the windows' language. Closing it
// is how the user cancels a transfer: the session hears it through OnCancel.
#include <atomic>

#include <QPointer>

#include "util/HostInterfaces.h"
#include "windows/WindowBase.h"

class QLabel;
class QProgressBar;
class QPushButton;

class TransferStatusDialog : public WindowBase, public IStatusDialog {
    Q_OBJECT
public:
    explicit TransferStatusDialog(QWidget* parent = nullptr);

    // The window the dialog centres on when shown (none: it keeps its design place).
    void SetCenterForm(QWidget* form);

    // IStatusDialog. The calls are made in the main thread (workers go through
    // RunInMainThread); IsStatusVisible may be read from any thread.
    // An event in the windows' words (windows/TransferTexts).
    bool ShowTransfer(const TransferEvent& event) override;
    // Texts given as they are (a front end that words events in English through
    // ShowOnStatusDialog); shown unchanged.
    void OpenStatus(const std::string& caption, bool cancelShown) override;
    void UpdateStatus(const StatusReport& report) override;
    void HideStatus() override;
    bool IsStatusVisible() const override { return shown_.load(); }

    // What is transferred and which way ("Receiving NAME"): the caption OpenStatus got,
    // which a narrow title bar would cut.
    QLabel* nameText;
    QLabel* statusText;
    QProgressBar* progressBar;
    QPushButton* cancelButton;

    void CancelClicked();
    // A failure is about to be told in a message box: the dialog goes without cancelling
    // anything (the transfer has ended), so that nothing stands beside or over the
    // message. Returns the text it showed last, for the message; empty when it was
    // hidden already.
    QString CloseForMessage();
    // The message with the dialog's last text after it, unless the message says it
    // already; the dialog is closed as by CloseForMessage.
    QString CloseInto(const QString& message);

protected:
    void WindowShown() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Open(const QString& caption, bool cancelShown);
    // Shows a report's text (and its progress); false when the dialog is hidden and so
    // ignores it.
    bool Report(StatusKind kind, const QString& text, int value, int maximum);

    std::atomic<bool> shown_{false};
    QPointer<QWidget> centerForm_;
};
