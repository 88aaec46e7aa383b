// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class view: serves every calculator of a class at once (a CalculatorClass on the
// chosen folder, each calculator's pushed files in an inbox of its own, same-name files
// kept both) and shows them in a table, one row each, with a Cancel for the transfer in
// progress on that row. Calculators plugged in later join; unplugged ones leave their
// row until they are gone from the machine. Every transfer goes into the Transfers
// history under its calculator's label. A calculator's XModem request is answered with
// the one file the teacher chose for them all, without a question that would hold up
// the other rows; without one it is declined.
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "windows/ClassTable.h"
#include "windows/WindowBase.h"

class CalculatorClass;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TransferHistory;
class WindowPlacement;

class ClassWindow : public WindowBase {
    Q_OBJECT
public:
    explicit ClassWindow(QWidget* parent = nullptr);
    ~ClassWindow() override;

    // Serves the calculators find lists (looked for now and every second) into folder
    // until the window closes.
    void Start(const std::string& folder, std::function<std::vector<std::string>()> find);
    bool Serving() const { return static_cast<bool>(class_); }

    const ClassTableModel& Table() const { return model_; }
    // The Cancel button of the calculator on port, or null.
    QPushButton* CancelButtonOf(const std::string& port) const;
    // Where the transfers are recorded (null: nowhere); it outlives the window.
    void SetHistory(TransferHistory* history);

    // The file every XModem request is answered with (empty: requests are declined).
    const QString& XModemFile() const { return xmodemFile_; }
    void SetXModemFile(const QString& path);

    QLabel* folderLabel;
    QTableView* table;
    QLineEdit* xmodemFileEdit;
    QPushButton* xmodemChooseButton;
    QPushButton* xmodemClearButton;
    QPushButton* closeButton;
    WindowPlacement* windowPlacement;
    // Asks for the XModem file (a file dialog); the tests put a stand-in here.
    std::function<std::optional<QString>()> askXModemFile;

signals:
    // The window closed: the class is no longer served.
    void ClassEnded();

protected:
    void WindowClosed() override;

private:
    // The windows as the class's sessions see them: the XModem file is the answer.
    class ClassHost;

    void Stop();
    // folder: where the calculator's transfers put their files (its inbox).
    void Record(const std::string& label, const std::string& inbox, const TransferEvent& event);
    void AddCancelButton(const std::string& port);
    void UpdateCancelButton(const std::string& port);

    ClassTableModel model_;
    std::unique_ptr<CalculatorClass> class_;
    std::map<std::string, QPointer<QPushButton>> cancelButtons_;
    QPointer<TransferHistory> history_;
    QString folder_; // the served folder
    QString xmodemFile_;
    std::unique_ptr<ClassHost> host_;
};
