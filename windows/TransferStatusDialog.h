#pragma once
// TransferStatusDialog: the small modeless dialog that shows a running transfer (a title, a text
// of up to three lines, a progress bar and Cancel). Every text it shows is also added
// to the log window. Closing it is how the user cancels a Kermit transfer or a wire
// receive: those threads watch IsStatusVisible between packets or bytes.
#include <atomic>

#include "util/HostInterfaces.h"
#include "windows/WindowBase.h"

class QLabel;
class QProgressBar;
class QPushButton;

class TransferStatusDialog : public WindowBase, public IStatusDialog {
    Q_OBJECT
public:
    explicit TransferStatusDialog(QWidget* parent = nullptr);

    // The window every status dialog centres on when shown (none at start); shared by
    // all instances.
    static void SetCenterForm(QWidget* form);

    // IStatusDialog. The calls are made in the main thread (workers go through
    // RunInMainThread); IsStatusVisible may be read from any thread.
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

protected:
    void WindowShown() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    std::atomic<bool> shown_{false};
};

extern TransferStatusDialog* TheStatusDialog;
