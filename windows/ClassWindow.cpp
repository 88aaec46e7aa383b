// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/ClassWindow.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "services/CalculatorClass.h"
#include "util/CalvyxError.h"
#include "util/Settings.h"
#include "windows/WindowPlacement.h"

ClassWindow::ClassWindow(QWidget* parent) : WindowBase(parent, Qt::Window)
{
    setObjectName(QStringLiteral("ClassWindow"));
    setWindowTitle(tr("Class"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    folderLabel = new QLabel(this);
    folderLabel->setWordWrap(true);
    layout->addWidget(folderLabel);
    table = new QTableView(this);
    table->setModel(&model_);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setSectionResizeMode(ClassTableModel::ResultColumn, QHeaderView::Stretch);
    layout->addWidget(table, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    closeButton = new QPushButton(tr("&Close"), this);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    resize(760, 320);
    windowPlacement = new WindowPlacement(this, QStringLiteral("ClassWindow"));
    try {
        windowPlacement->RestorePositions(false, true);
    } catch (const CalvyxError&) {
        // A placement stored with the wrong type is left out: the window opens where Qt puts it.
    }
}

ClassWindow::~ClassWindow() { Stop(); }

void ClassWindow::Start(const std::string& folder, std::function<std::vector<std::string>()> find)
{
    Stop();
    folderLabel->setText(tr("Every calculator found is served at once. What each one sends goes into its own "
                            "folder under %1; a second file of the same name is kept beside the first.")
                             .arg(QDir::toNativeSeparators(QString::fromStdString(folder))));
    CalculatorClass::Setup setup;
    setup.folder = folder;
    setup.inboxes = true;
    setup.sameName = SameName::KeepBoth;
    class_ = std::make_unique<CalculatorClass>(setup);
    class_->onJoined = [this](const CalculatorClass::Member& m) {
        model_.Join(m.port, QString::fromStdString(m.label), QDir::toNativeSeparators(QString::fromStdString(m.inbox)));
        AddCancelButton(m.port);
    };
    class_->onLeft = [this](const CalculatorClass::Member& m) {
        cancelButtons_.erase(m.port);
        model_.Leave(m.port);
    };
    class_->onEvent = [this](const CalculatorClass::Member& m, const SessionEvent& event) {
        model_.Apply(m.port, event);
        UpdateCancelButton(m.port);
    };
    class_->FollowAll(std::move(find));
}

void ClassWindow::Stop()
{
    if (!class_) return;
    // The sessions go first (each stops its Kermit server and lets its port go), then
    // their rows.
    class_.reset();
    cancelButtons_.clear();
    while (model_.rowCount() > 0) model_.Leave(model_.At(0).port);
}

QPushButton* ClassWindow::CancelButtonOf(const std::string& port) const
{
    const auto it = cancelButtons_.find(port);
    return it == cancelButtons_.end() ? nullptr : it->second.data();
}

void ClassWindow::AddCancelButton(const std::string& port)
{
    const int row = model_.RowOf(port);
    if (row < 0) return;
    auto* button = new QPushButton(tr("Cancel"), table);
    button->setEnabled(false);
    connect(button, &QPushButton::clicked, this, [this, port] {
        if (!class_) return;
        if (const CalculatorClass::Member* member = class_->Find(port)) member->session->CancelTransfer();
    });
    table->setIndexWidget(model_.index(row, ClassTableModel::CancelColumn), button);
    cancelButtons_[port] = button;
}

void ClassWindow::UpdateCancelButton(const std::string& port)
{
    const int row = model_.RowOf(port);
    QPushButton* button = CancelButtonOf(port);
    if (row < 0 || !button) return;
    button->setEnabled(!model_.At(row).transfer.isEmpty());
}

void ClassWindow::WindowClosed()
{
    // This runs before the window is hidden: the class view is recorded closed, so that
    // it opens only when asked for.
    windowPlacement->SavePositions();
    auto key = OpenSettings(windowPlacement->Section);
    WriteSettingBool(*key, QStringLiteral("Visible"), false);
    Stop();
    emit ClassEnded();
}
