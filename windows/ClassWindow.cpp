// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/ClassWindow.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "link/Trace.h"
#include "services/CalculatorClass.h"
#include "util/CalvyxError.h"
#include "util/HostInterfaces.h"
#include "util/Settings.h"
#include "windows/TransferHistory.h"
#include "windows/WindowPlacement.h"

// Thirty calculators may ask at once: a question per request would stop each of them
// (and, modal, the others' rows) until it is answered. The teacher chooses one file
// beforehand, and every request gets it at once.
class ClassWindow::ClassHost final : public IHostWindows {
public:
    explicit ClassHost(const ClassWindow& window) : window_(window) {}

    void RequestScreenCapture() override {}
    void SetTransferBusy(bool) override {}
    bool InstructionsVisible() override { return false; }
    void ShowMessage(const std::string& text, const std::string& caption) override { Trace(caption + ": " + text); }
    std::optional<std::string> ChooseFileToSend(const std::string&, const std::string&) override
    {
        // A file removed since it was chosen fails the send with its reason in the row.
        if (window_.xmodemFile_.isEmpty()) return std::nullopt;
        return window_.xmodemFile_.toStdString();
    }
    std::unique_ptr<IStatusDialog> CreateStatusDialog() override { return nullptr; }

private:
    const ClassWindow& window_;
};

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

    auto* xmodemRow = new QHBoxLayout;
    xmodemFileEdit = new QLineEdit(this);
    xmodemFileEdit->setReadOnly(true);
    xmodemFileEdit->setPlaceholderText(tr("None: a request is declined"));
    auto* xmodemLabel = new QLabel(tr("File for &XModem requests:"), this);
    xmodemLabel->setBuddy(xmodemFileEdit);
    xmodemChooseButton = new QPushButton(tr("C&hoose..."), this);
    xmodemClearButton = new QPushButton(tr("Clea&r"), this);
    xmodemClearButton->setEnabled(false);
    xmodemRow->addWidget(xmodemLabel);
    xmodemRow->addWidget(xmodemFileEdit, 1);
    xmodemRow->addWidget(xmodemChooseButton);
    xmodemRow->addWidget(xmodemClearButton);
    layout->addLayout(xmodemRow);
    askXModemFile = [this]() -> std::optional<QString> {
        const QString start = xmodemFile_.isEmpty() ? folder_ : QFileInfo(xmodemFile_).absolutePath();
        const QString path = QFileDialog::getOpenFileName(this, tr("File for XModem requests"), start);
        if (path.isEmpty()) return std::nullopt;
        return path;
    };
    connect(xmodemChooseButton, &QPushButton::clicked, this, [this] {
        if (const auto path = askXModemFile ? askXModemFile() : std::nullopt) SetXModemFile(*path);
    });
    connect(xmodemClearButton, &QPushButton::clicked, this, [this] { SetXModemFile({}); });

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

void ClassWindow::SetHistory(TransferHistory* history) { history_ = history; }

void ClassWindow::SetXModemFile(const QString& path)
{
    xmodemFile_ = path;
    xmodemFileEdit->setText(QDir::toNativeSeparators(path));
    xmodemClearButton->setEnabled(!path.isEmpty());
}

void ClassWindow::Start(const std::string& folder, std::function<std::vector<std::string>()> find)
{
    Stop();
    folder_ = QString::fromStdString(folder);
    folderLabel->setText(tr("Every calculator found is served at once. What each one sends goes into its own "
                            "folder under %1; a second file of the same name is kept beside the first.")
                             .arg(QDir::toNativeSeparators(QString::fromStdString(folder))));
    CalculatorClass::Setup setup;
    setup.folder = folder;
    setup.inboxes = true;
    setup.sameName = SameName::KeepBoth;
    if (!host_) host_ = std::make_unique<ClassHost>(*this);
    setup.host = [this](const std::string&) { return TransferHost{host_.get(), nullptr}; };
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
        if (const auto* transfer = std::get_if<TransferEvent>(&event)) Record(m.label, m.inbox, *transfer);
    };
    class_->FollowAll(std::move(find));
}

void ClassWindow::Record(const std::string& label, const std::string& inbox, const TransferEvent& event)
{
    if (!history_) return;
    // Where the file is: what a calculator sends lands in its inbox, what it fetches
    // comes from the served folder, the XModem file from where it was chosen.
    QString folder = folder_;
    if (event.Direction() == TransferDirection::ToPc)
        folder = QString::fromStdString(inbox);
    else if (event.kind == TransferKind::XModemSend && !xmodemFile_.isEmpty())
        folder = QFileInfo(xmodemFile_).absolutePath();
    history_->Take(event, folder, QString::fromStdString(label));
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
