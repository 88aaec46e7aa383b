// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The class view: serves every calculator of a class at once (a CalculatorClass on the
// chosen folder, each calculator's pushed files in an inbox of its own, same-name files
// kept both) and shows them in a table, one row each, with a Cancel for the transfer in
// progress on that row. Calculators plugged in later join; unplugged ones leave their
// row until they are gone from the machine.
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "windows/ClassTable.h"
#include "windows/WindowBase.h"

class CalculatorClass;
class QLabel;
class QPushButton;
class QTableView;
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

    QLabel* folderLabel;
    QTableView* table;
    QPushButton* closeButton;
    WindowPlacement* windowPlacement;

signals:
    // The window closed: the class is no longer served.
    void ClassEnded();

protected:
    void WindowClosed() override;

private:
    void Stop();
    void AddCancelButton(const std::string& port);
    void UpdateCancelButton(const std::string& port);

    ClassTableModel model_;
    std::unique_ptr<CalculatorClass> class_;
    std::map<std::string, QPointer<QPushButton>> cancelButtons_;
};
