#include "mainwindow/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "kermit/KermitServer.h"
#include "link/Link.h"
#include "link/PortName.h"
#include "link/UsbPipes.h"
#include "link/Trace.h"
#include "mainwindow/CommandLine.h"
#include "mainwindow/FolderNames.h"
#include "mainwindow/HelpContext.h"
#include "mainwindow/HelpSystem.h"
#include "mainwindow/MainSettings.h"
#include "mainwindow/SearchAnimation.h"
#include "windows/TransferStatusDialog.h"
#include "services/ObjectName.h"
#include "services/TransferServer.h"
#include "util/GeneralError.h"
#include "util/MainThread.h"
#include "util/Registry.h"
#include "util/StringTable.h"
#include "util/Ticks.h"
#include "util/Utils.h"
#include "util/Version.h"
#include "windows/AboutDialog.h"
#include "windows/CalculatorSetupDialog.h"
#include "windows/ErrorBox.h"
#include "windows/LogWindow.h"
#include "windows/ScreenCaptureWindow.h"
#include "windows/WindowPlacement.h"

MainWindow* TheMainWindow = nullptr;
bool StartingUp = false;
bool AboutShown = false;

namespace {

constexpr int FormWidth = 538;
constexpr int FormHeight = 415;
constexpr int FormMinWidth = 350;
constexpr int FormMinHeight = 375;
constexpr int PromptLeft = 6;
// Wider than the 260 pixels the prompt was drawn for: the platform fonts are wider.
constexpr int PromptWidth = 320;
constexpr int PromptHeight = 400;
constexpr int AnimationBottom = 310;
constexpr int StatusPanelWidth = 350;
constexpr int AboutFirstTickMs = 100;
constexpr int AboutShownMs = 500;
constexpr int HelpSetPopupPosition = 13;
constexpr int HelpContextPopup = 8;
constexpr const char* FolderMissingStart = "Error, the folder \""; // 65243
constexpr const char* FolderMissingEnd = "\" does not exist.";     // 65244
constexpr const char* ReceiveTitle = "Receive file from T30s,T20s,T20/T20+ (By Wire)";
constexpr const char* SettingPathError = "Error setting path: \"%1\""; // 65301
// The first byte of a pushed screen, taken off the link by the Kermit server.
constexpr char ScreenStartByte = '\x80';

QString Q(const std::string& s) { return QString::fromStdString(s); }
QString Q(const char* s) { return QString::fromUtf8(s); }
std::string S(const QString& s) { return s.toStdString(); }

// Texts from the message table use CR LF; a label shows LF.
QString Lines(const char* text) { return Q(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

QIcon StandardIcon(QStyle::StandardPixmap pixmap) { return QApplication::style()->standardIcon(pixmap); }

} // namespace

// While one of these lives, the poll neither starts the Kermit server nor re-checks the
// device: a command of the window (or a transfer it started) has the link.
class MainWindow::LinkReservation {
public:
    explicit LinkReservation(MainWindow& window) : window_(window) { ++window_.FLinkReserved; }
    ~LinkReservation() { --window_.FLinkReserved; }
    LinkReservation(const LinkReservation&) = delete;
    LinkReservation& operator=(const LinkReservation&) = delete;

private:
    MainWindow& window_;
};

MainWindow::MainWindow(std::function<void()> endProcess, QWidget* parent)
    : QMainWindow(parent), FEndProcess(std::move(endProcess)), FDialogs(std::make_unique<TStandardDialogs>(this))
{
    FormCreate();
}

MainWindow::~MainWindow()
{
    if (TheMainWindow == this) TheMainWindow = nullptr;
    // The capture window is owned by this window; forget it before Qt deletes it.
    if (TheCaptureWindow && TheCaptureWindow->parent() == this) TheCaptureWindow = nullptr;
}

void MainWindow::SetDialogs(std::unique_ptr<TUserDialogs> dialogs) { FDialogs = std::move(dialogs); }

// ---------------------------------------------------------------- layout

void MainWindow::BuildMenus()
{
    auto hinted = [this](QMenu* menu, const char* text, const char* hint, auto handler) {
        QAction* action = menu->addAction(Q(text));
        if (hint) action->setStatusTip(Q(hint));
        connect(action, &QAction::triggered, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    mnuDelete = hinted(file, "Delete", "Permanently remove the folder", &MainWindow::mnuDeleteClick);
    mnuRename = hinted(file, "Rena&me", nullptr, &MainWindow::mnuRenameClick);
    mnuNewFolder = hinted(file, "New Folder", nullptr, &MainWindow::mnuNewFolderClick);
    file->addSeparator();
    mnuCaptureScreen = hinted(file, "Screen Capture", "View the Screen Capture Window", &MainWindow::mnuCaptureScreenClick);
    mnuRcveByWire = hinted(file, "Receive Calcapp (By Wire)", "Receive Calcapp (By Wire) to the PC", &MainWindow::mnuRcveByWireClick);
    mnuLogShow = hinted(file, "Log", nullptr, &MainWindow::mnuLogShowClick);
    mnuMRUSeparator = file->addSeparator();
    for (int n = 1; n <= RecentSlotCount; ++n) {
        QAction* item = file->addAction(RecentCaption(n, {}));
        connect(item, &QAction::triggered, this, [this, n] { Guarded([this, n] { OpenRecentFolder(n); }); });
        recentFolderItems[n - 1] = item;
    }
    file->addSeparator();
    mnuExit = hinted(file, "E&xit", nullptr, &MainWindow::mnuExitClick);

    QMenu* rom = menuBar()->addMenu(QStringLiteral("ROM"));
    loadRom = hinted(rom, "Download Calculator ROM...", nullptr, &MainWindow::LoadRomClicked);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuContentsHelp = hinted(help, "Contents and Index", nullptr, &MainWindow::mnuContentsHelpClick);
    help->addSeparator();
    mnuCommHelp = hinted(help, "Communications Topics", nullptr, &MainWindow::mnuCommHelpClick);
    SetHelpContext(mnuCommHelp, HelpContextCommunications);
    // Trouble shooting opens the book at its contents, like "Contents and Index".
    mnuTroubleHelp = hinted(help, "Trouble Shooting", nullptr, &MainWindow::mnuContentsHelpClick);
    help->addSeparator();
    mnuAbout = hinted(help, "About", nullptr, &MainWindow::mnuAboutClick);
    for (QMenu* menu : {file, rom, help}) menu->installEventFilter(this);
}

void MainWindow::BuildToolBar()
{
    ToolBar = addToolBar(QStringLiteral("ToolBar"));
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->setIconSize(QSize(16, 16));
    ToolBar->setFixedHeight(29);
    auto button = [this](QStyle::StandardPixmap icon, const char* name, const char* hint, void (MainWindow::*handler)()) {
        auto* b = new QToolButton(ToolBar);
        b->setObjectName(Q(name));
        b->setIcon(StandardIcon(icon));
        b->setFixedWidth(24);
        b->setAutoRaise(true);
        SetHint(b, Q(hint));
        connect(b, &QToolButton::clicked, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
        ToolBar->addWidget(b);
        return b;
    };
    tbtnNewFolder = button(QStyle::SP_FileDialogNewFolder, "tbtnNewFolder", "Create a new folder", &MainWindow::mnuNewFolderClick);
    tbtnScrnCapture = button(QStyle::SP_DesktopIcon, "tbtnScrnCapture", "View screen capture window.", &MainWindow::mnuCaptureScreenClick);
    tbtnRcve = button(QStyle::SP_ArrowDown, "tbtnRcve", "Receive Calcapp (By Wire) to the PC", &MainWindow::tbtnRcveClick);
    ToolBar->addSeparator();
    tbtnExit = button(QStyle::SP_DialogCloseButton, "tbtnExit", "Disconnect and Exit program.", &MainWindow::mnuExitClick);
    ToolBar->addSeparator();

    connectionLabel = new QLabel(QStringLiteral("Connect using:"), ToolBar);
    connectionLabel->setContentsMargins(4, 0, 4, 0);
    ToolBar->addWidget(connectionLabel);
    connectionBox = new QComboBox(ToolBar);
    connectionBox->setObjectName(QStringLiteral("connectionBox"));
    connectionBox->setMinimumWidth(92);
    connectionBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connectionBox->setFocusPolicy(Qt::ClickFocus); // no tab stop
    connect(connectionBox, &QComboBox::activated, this, [this] { Guarded([this] { ConnectionChosen(); }); });
    ToolBar->addWidget(connectionBox);
    btnLog = new QPushButton(QStringLiteral("Log"), ToolBar);
    btnLog->setObjectName(QStringLiteral("btnLog"));
    btnLog->setFixedSize(81, 22);
    SetHint(btnLog, QStringLiteral("Show log window"));
    btnLog->installEventFilter(this);
    connect(btnLog, &QPushButton::clicked, this, [this] { Guarded([this] { mnuLogShowClick(); }); });
    auto* spacer = new QWidget(ToolBar);
    spacer->setFixedWidth(6);
    ToolBar->addWidget(spacer);
    btnLogItem = ToolBar->addWidget(btnLog);
}

void MainWindow::BuildViews()
{
    promptPanel = new QFrame(this);
    promptPanel->setObjectName(QStringLiteral("promptPanel"));
    promptPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setCentralWidget(promptPanel);
    auto* layout = new QVBoxLayout(promptPanel);
    layout->setContentsMargins(2, 2, 2, 2);

    lblPrompt = new QLabel(promptPanel);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt->setWordWrap(true);
    lblPrompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblPrompt->setGeometry(PromptLeft, 8, PromptWidth, PromptHeight);
    QFont promptFont = lblPrompt->font();
    promptFont.setPixelSize(13);
    lblPrompt->setFont(promptFont);

    searchAnimation = new TSearchAnimation(promptPanel);
    searchAnimation->setObjectName(QStringLiteral("searchAnimation"));
    SetHelpContext(searchAnimation, HelpContextMain);

    folderSplitter = new QSplitter(Qt::Horizontal, promptPanel);
    folderSplitter->setObjectName(QStringLiteral("folderSplitter"));
    folderSplitter->setChildrenCollapsible(false); // no snapping
    folderSplitter->setHandleWidth(4);
    layout->addWidget(folderSplitter);

    FTreeModel = new QFileSystemModel(this);
    FTreeModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    FTreeModel->setReadOnly(false); // labels are renamed in place
    FTreeModel->setRootPath(QDir::rootPath());
    folderTree = new TShellView(folderSplitter);
    folderTree->setObjectName(QStringLiteral("folderTree"));
    folderTree->setModel(FTreeModel);
    for (int column = 1; column < FTreeModel->columnCount(); ++column) folderTree->hideColumn(column);
    folderTree->setHeaderHidden(true);
    folderTree->setEditTriggers(QAbstractItemView::EditKeyPressed);
    folderTree->setAutoScroll(true);
    folderTree->setContextMenuPolicy(Qt::PreventContextMenu);
    SetHint(folderTree, QStringLiteral("Select the directory for T20+ Calcapps"));
    SetHelpContext(folderTree, HelpContextFolders);
    folderTree->installEventFilter(this);
    connect(folderTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { Guarded([this] { FolderChanged(); }); });
    connect(FTreeModel, &QFileSystemModel::fileRenamed, this,
            [this](const QString& folder) { Guarded([this, folder] { FolderRenamed(folder); }); });

    FListModel = new QFileSystemModel(this);
    FListModel->setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::AllDirs);
    FListModel->setReadOnly(false);
    fileList = new TShellView(folderSplitter);
    fileList->setObjectName(QStringLiteral("fileList"));
    fileList->setModel(FListModel);
    fileList->setRootIsDecorated(false);
    fileList->setItemsExpandable(false);
    fileList->setSortingEnabled(false);
    fileList->header()->setSectionsClickable(false);
    fileList->hideColumn(3); // name, size, type
    fileList->setColumnWidth(0, 160);
    fileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fileList->setContextMenuPolicy(Qt::PreventContextMenu);
    fileList->setEnabled(false);
    fileList->installEventFilter(this);
    fileList->viewport()->installEventFilter(this);
    connect(fileList, &QAbstractItemView::pressed, this, [this] { ListPicked(); });
    folderSplitter->setStretchFactor(1, 1);
    connect(folderSplitter, &QSplitter::splitterMoved, this, [this](int position) { FTreeWidth = position; });

    StatusBar = statusBar();
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusPanel = new QLabel(StatusBar);
    StatusPanel->setMinimumWidth(StatusPanelWidth);
    StatusBar->addWidget(StatusPanel);
    SetHint(StatusBar, QStringLiteral("Last command"));
    SetHelpContext(StatusBar, HelpContextStatusBar);
}

// ---------------------------------------------------------------- start-up and shutdown

void MainWindow::FormCreate()
{
    // One instance at a time: a second start ends here, silently.
    if (!FStartupMutex.Acquire()) {
        FRefused = true;
        if (FEndProcess) FEndProcess();
        return;
    }
    TheMainWindow = this;
    setWindowTitle(Q(Caption));
    resize(FormWidth, FormHeight);
    setMinimumSize(FormMinWidth, FormMinHeight);
    SetHelpContext(this, HelpContextMain);
    BuildToolBar();
    BuildMenus();
    BuildViews();

    pollTimer = new QTimer(this);
    pollTimer->setInterval(PollIntervalMs);
    connect(pollTimer, &QTimer::timeout, this, [this] { Guarded([this] { Poll(); }); });
    tmrAbout = new QTimer(this);
    tmrAbout->setInterval(AboutFirstTickMs);
    connect(tmrAbout, &QTimer::timeout, this, [this] { Guarded([this] { tmrAboutTimer(); }); });
    windowPlacement = new WindowPlacement(this, QStringLiteral("Connectivity"));

    btnLogItem->setVisible(false);
    FillConnectionBox();
    FCaptureRequested = false;
    StartingUp = true;
    selectedPort_ = UsbDeviceName;
    ApplyPortParameter();
    mnuLogShow->setVisible(false);
    FLogKeyState = 0;
    FPickedPath.clear();
    RegistryRootName = Q(DefaultRegistryRoot);
    PublishRegistryRoot(S(RegistryRootName));

    FServer = std::make_unique<TransferServer>(TransferHost{this, TheStatusDialog});
    FServer->SetOnKermitActivity([this](KermitServer* sender) { KermitActivity(sender); });
    FServer->SetOnStatus([this](const std::string& text) { ShowServerStatus(text); });

    lblPrompt->setText(Lines(Str::Disconnected));
    searchAnimation->hide();
    searchAnimation->Stop();
    FConnState = StateUnset;
    SetConnState(StateDisconnected);
    Guarded([this] { windowPlacement->RestorePositions(true, true); });
    LoadSettings();
    EnsureCaptureWindow();
    pollTimer->start();
}

void MainWindow::FillConnectionBox()
{
    connectionBox->addItems({Q(UsbDeviceName), QStringLiteral("COM1"), QStringLiteral("COM2")});
    // Serial adapters of this machine after the fixed names; /dev/ttySn is COM(n+1).
    QStringList extra;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QString name = info.systemLocation();
        if (name.startsWith(QLatin1String("/dev/ttyS"))) {
            bool ok = false;
            const int n = name.mid(9).toInt(&ok);
            if (ok) name = QStringLiteral("COM%1").arg(n + 1);
        }
        if (connectionBox->findText(name) < 0 && !extra.contains(name)) extra << name;
    }
    extra.sort();
    connectionBox->addItems(extra);
    connectionBox->setCurrentIndex(0);
}

void MainWindow::ApplyPortParameter()
{
    // The box keeps showing its first item whatever the parameter chose.
    if (const auto port = PortFromCommandLine(RawCommandLine())) selectedPort_ = *port;
}

void MainWindow::LoadSettings()
{
    const MainSettings settings = ReadMainSettings(QDir::currentPath());
    try {
        if (DirExists(S(settings.dir))) SetTreePath(settings.dir);
    } catch (const std::exception&) {
        // A folder the tree cannot show is not applied.
    }
    FTreeWidth = settings.dirWidthSplit;
    FRecentFolders = settings.recent;
    NormalizeRecent(ControlsFor(FConnState, connectionBox->currentIndex() == 0).recentEnabled);
    // The restored folder becomes the transfer folder.
    FolderChanged();
}

void MainWindow::EnsureCaptureWindow()
{
    if (!TheCaptureWindow) TheCaptureWindow = new ScreenCaptureWindow(this);
    TheCaptureWindow->SetLinkLender([this] { return FServer->LendLink(); });
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!FShown && !event->spontaneous()) {
        FShown = true;
        FormShow();
    }
}

void MainWindow::FormShow()
{
    if (TheSetupDialog) TheSetupDialog->SetMainWindow(this);
    TransferStatusDialog::SetCenterForm(this);
    if (TheAboutDialog) TheAboutDialog->SetMainWindow(this);
    FormResize();
    StartingUp = false;
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void MainWindow::FormActivate()
{
    if (AboutShown) return;
    AboutShown = true;
    FAboutStep = 0;
    tmrAbout->setInterval(AboutFirstTickMs);
    tmrAbout->start();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (FRefused) {
        event->accept();
        return;
    }
    FormClose();
    event->accept();
    if (FEndProcess) FEndProcess();
}

void MainWindow::FormClose()
{
    pollTimer->stop();
    tmrAbout->stop();
    try {
        FServer->SelectPort("");
    } catch (const std::exception&) {
        // Closing never fails in a way the user could act on.
    }
    MainSettings settings;
    settings.dirWidthSplit = TreeWidth();
    settings.dir = TreePath();
    settings.recent = FRecentFolders;
    WriteMainSettings(settings);
    if (TheLogWindow) TheLogWindow->close();
    if (TheCaptureWindow) TheCaptureWindow->close();
    windowPlacement->SavePositions();
}

void MainWindow::mnuExitClick() { close(); }

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void MainWindow::FormResize()
{
    if (!lblPrompt) return;
    lblPrompt->move(PromptLeft, lblPrompt->y());
    // Centred under the prompt; the halving truncates toward zero.
    searchAnimation->move((2 * lblPrompt->x() + lblPrompt->width() - searchAnimation->width()) / 2, AnimationBottom - searchAnimation->height());
}

void MainWindow::ShowServerStatus(const std::string& text)
{
    StatusPanel->setText(Q(text));
    ProcessPendingEvents();
}

void MainWindow::Guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        ReportError(e.what());
    }
}

void MainWindow::ReportError(const std::string& message) { ShowApplicationError(Q(message), this); }

// ---------------------------------------------------------------- connection and polling

bool MainWindow::ProbeUsbDevice(const std::string& name) { return UsbDevicePresent(name); }

void MainWindow::Poll()
{
    if (StartingUp) return;
    pollTimer->stop(); // a poll never runs inside another one
    struct Restart {
        QTimer* timer;
        ~Restart() { timer->start(); }
    } restart{pollTimer};

    if (FCaptureRequested.exchange(false)) {
        FServer->StopKermitServer();
        ProcessPendingEvents();
        EnsureCaptureWindow();
        ShowConnState(); // the state behind the capture window, while it is open
        TheCaptureWindow->ShowCapture(selectedPort_, ByteString(1, ScreenStartByte));
    }
    // While a command of the window has the link, it is left alone: no re-check that
    // could close it under the transfer, and no Kermit server beside the transfer.
    if (!LinkReserved() && TicksSince(FServer->LastReceiveTime()) > QuietRecheckMs) {
        const std::string port = selectedPort_;
        const bool present = !IsUsbPortName(port) || ProbeUsbDevice(port);
        if (present) {
            FServer->RestartQuietClock(Now());
            try {
                FServer->SelectPort(port);
            } catch (const std::exception& e) {
                // Shown once per connection choice; the poll goes on and retries at the
                // next re-check (a serial adapter plugged in later is then found).
                if (!FPortErrorShown) {
                    FPortErrorShown = true;
                    ReportError(e.what());
                }
            }
            if (TheCaptureWindow && !FServer->PortName().empty() && !TheCaptureWindow->isVisible() && !FServer->KermitServerRunning())
                FServer->StartKermitServer();
        } else {
            FServer->SelectPort("");
        }
    }
    ShowConnState();
}

void MainWindow::ShowConnState()
{
    // A Kermit server stopped in the middle of a transfer, or before it reported itself
    // idle again (a pushed screen ends it), never reports that it is idle: its busy
    // flag goes with it, or the window would stay busy for good.
    if (FKermitBusy && !FServer->KermitServerRunning()) {
        FKermitBusy = false;
        FTransferBusy = false;
    }
    if (FServer->PortName().empty())
        SetConnState(StateDisconnected);
    else if (FTransferBusy || (TheStatusDialog && TheStatusDialog->IsStatusVisible()))
        SetConnState(StateBusy);
    else
        SetConnState(StateConnected);
}

void MainWindow::ConnectionChosen()
{
    LinkReservation reserve(*this);
    UpdateControls();
    FServer->StopKermitServer();
    FServer->SelectPort("");
    selectedPort_ = S(connectionBox->currentText());
    FPortErrorShown = true; // an error of this choice is shown here, not again by the poll
    FServer->SelectPort(selectedPort_);
    FPortErrorShown = false;
    UpdateControls();
    const bool usb = connectionBox->currentIndex() == 0;
    tbtnRcve->setEnabled(usb);
    mnuRcveByWire->setEnabled(usb);
}

void MainWindow::SetConnState(int state)
{
    if (state == FConnState) return;
    FConnState = state;
    if (state == StateDisconnected) ShowServerStatus("");
    UpdateControls();
}

void MainWindow::UpdateControls()
{
    const ControlStates c = ControlsFor(FConnState, connectionBox->currentIndex() == 0);
    // The views show and hide with their splitter; the tree keeps its width meanwhile.
    const bool wasHidden = folderSplitter->isHidden();
    if (!wasHidden) FTreeWidth = folderSplitter->sizes().value(0, FTreeWidth);
    folderSplitter->setVisible(c.treeVisible && c.listVisible);
    if (wasHidden && !folderSplitter->isHidden()) folderSplitter->setSizes({FTreeWidth, std::max(1, folderSplitter->width() - FTreeWidth)});
    folderTree->setEnabled(c.treeEnabled);
    folderSplitter->setEnabled(c.splitterEnabled);
    lblPrompt->setVisible(c.promptVisible);
    fileList->setEnabled(c.listEnabled);
    connectionBox->setEnabled(c.comboEnabled);
    searchAnimation->setVisible(c.animationPlaying);
    if (c.animationPlaying) {
        searchAnimation->raise();
        searchAnimation->Play();
    } else {
        searchAnimation->Stop();
    }
    mnuCaptureScreen->setEnabled(c.captureEnabled);
    tbtnScrnCapture->setEnabled(c.captureEnabled);
    for (QAction* a : {mnuNewFolder, mnuDelete, mnuRename}) a->setEnabled(c.folderCommandsEnabled);
    tbtnNewFolder->setEnabled(c.folderCommandsEnabled);
    tbtnRcve->setEnabled(c.usbCommandsEnabled);
    mnuRcveByWire->setEnabled(c.usbCommandsEnabled);
    loadRom->setEnabled(c.usbCommandsEnabled);
    NormalizeRecent(c.recentEnabled);
}

void MainWindow::KermitActivity(KermitServer* sender)
{
    FTransferBusy = sender->Busy.load();
    FKermitBusy = FTransferBusy;
    if (FTransferBusy) {
        SetConnState(StateBusy);
        AddRecentFolder(false);
    } else {
        SetConnState(StateConnected);
    }
}

void MainWindow::SetTransferBusy(bool busy)
{
    if (busy == FTransferBusy) return;
    FTransferBusy = busy;
    if (busy) AddRecentFolder(false);
    // At once, not at the next poll: the transfer's wait serves events, and the
    // connection box or a command must not be usable meanwhile.
    ShowConnState();
}

void MainWindow::RequestScreenCapture() { FCaptureRequested = true; }

void MainWindow::mnuCaptureScreenClick()
{
    if (LinkReserved()) return; // a command's transfer has the link; its wait serves events
    LinkReservation reserve(*this);
    FServer->StopKermitServer();
    EnsureCaptureWindow();
    TheCaptureWindow->ShowCapture(selectedPort_, ByteString());
}

// ---------------------------------------------------------------- transfers the PC starts

void MainWindow::DoRcveByWire(bool askFirst)
{
    // A transfer's wait serves events: a click that arrives meanwhile, before the poll
    // has shown the busy state, must not start a second transfer on the same link.
    if (LinkReserved()) return;
    const QString folder = FServer->KermitServerRunning() ? Q(FServer->Kermit()->Folder) : QStringLiteral(".");
    bool present = true;
    if (FServer->LinkKindOpen() == LinkKind::Usb) present = ProbeUsbDevice(selectedPort_);
    if (askFirst && (!present || !FDialogs->ShowInstructions(ikSendCalcapp))) return;

    LinkReservation reserve(*this);
    FServer->StopKermitServer();
    FServer->SelectPort(selectedPort_);
    if (FServer->PortName().empty()) return;
    {
        struct Idle {
            MainWindow* window;
            ~Idle() { window->SetTransferBusy(false); }
        } idle{this};
        SetTransferBusy(true);
        ProcessPendingEvents();
        FServer->ReceiveObject(Str::SendByWire, 0);
    }
    if (!FServer->ReceivedData().empty()) {
        const QByteArray object(FServer->ReceivedData().data(), static_cast<qsizetype>(FServer->ReceivedData().size()));
        QString proposed = folder + QLatin1Char('/') + ReceivedObjectName(object);
        // A file that cannot be written (a full disk, a folder without permission) is
        // reported and the dialog comes back with the same name, so that the object can
        // go elsewhere: it exists nowhere but here. Cancelling discards it.
        while (const auto path = FDialogs->AskSaveFile(Q(ReceiveTitle), proposed)) {
            try {
                WriteStringToFile(FServer->ReceivedData(), S(*path));
                break;
            } catch (const CalvyxError& e) {
                ReportError(e.what());
                proposed = *path;
            }
        }
    }
    FServer->DiscardReceivedData();
}

void MainWindow::LoadRomClicked()
{
    if (LinkReserved()) return; // see DoRcveByWire
    struct Idle {
        MainWindow* window;
        bool armed = true;
        ~Idle() {
            if (armed) window->SetTransferBusy(false);
        }
    } idle{this};
    const QString filters = QStringLiteral("ROM %1 (*.bin *.BIN);;%2 (*)").arg(Q(Str::Files), Q(Str::AllFiles));
    const auto file = FDialogs->AskOpenFile(Q(Str::DownloadRom), TreePath(), filters);
    if (!file || !FDialogs->ShowInstructions(ikRomDownload)) return;

    // The ROM load needs the link for itself, from the opening on.
    LinkReservation reserve(*this);
    FServer->StopKermitServer();
    bool opened = false;
    try {
        opened = FServer->OpenPortDirect(S(connectionBox->currentText()));
    } catch (...) {
        idle.armed = false; // the flag was never set
        throw;
    }
    if (!opened) return;
    const std::string path = S(QDir::toNativeSeparators(QFileInfo(*file).absoluteFilePath()));
    if (!FServer->DownloadROM(path)) {
        QString text = Q(Str::DownloadFailed);
        text.replace(QStringLiteral("%s"), Q(path));
        FDialogs->ShowMessage(text, Q(Str::DownloadError), true);
    }
}

// ---------------------------------------------------------------- folders

QString MainWindow::PathOf(const QTreeView* view, const QModelIndex& index) const
{
    if (!index.isValid()) return {};
    return static_cast<const QFileSystemModel*>(view->model())->filePath(index);
}

int MainWindow::TreeWidth() const
{
    return folderSplitter->isHidden() ? FTreeWidth : folderSplitter->sizes().value(0, FTreeWidth);
}

QString MainWindow::TreePath() const { return PathOf(folderTree, folderTree->currentIndex()); }

void MainWindow::SetTreePath(const QString& path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    if (path.isEmpty() || !QFileInfo(clean).isDir()) throw CalvyxError(S(Q(SettingPathError).arg(path)));
    const QModelIndex index = FTreeModel->index(clean);
    if (!index.isValid()) throw CalvyxError(S(Q(SettingPathError).arg(path)));
    folderTree->setCurrentIndex(index);
    folderTree->scrollTo(index);
    folderTree->expand(index);
}

void MainWindow::FolderChanged()
{
    const QString path = TreePath();
    if (path.isEmpty()) return;
    FPickedPath = path;
    Trace("Path Change = " + S(path));
    FListModel->setRootPath(path);
    fileList->setRootIndex(FListModel->index(path));
    // Only a local folder is made the transfer folder.
    if (QDir::isAbsolutePath(path) && FServer) FServer->SetFolder(S(path));
}

void MainWindow::ListPicked()
{
    const QModelIndex index = fileList->currentIndex();
    if (index.isValid() && fileList->selectionModel()->isSelected(index)) FPickedPath = PathOf(fileList, index);
}

void MainWindow::StartEditing(QTreeView* view, const QModelIndex& index)
{
    if (!index.isValid()) return;
    view->setFocus();
    view->setCurrentIndex(index);
    view->edit(index);
}

void MainWindow::mnuNewFolderClick()
{
    if (folderTree->Editing()) return;
    folderTree->setFocus();
    const QString folder = NextNewFolderPath(TreePath());
    if (folder.isEmpty()) return;
    QDir().mkdir(folder); // a failure shows when the tree cannot go there
    ProcessPendingEvents();
    SetTreePath(folder);
    StartEditing(folderTree, folderTree->currentIndex());
}

bool MainWindow::DeleteToRecycleBin(const QString& path)
{
    if (path.isEmpty()) return false;
    if (!FDialogs->Confirm(QStringLiteral("Move \"%1\" to the trash?").arg(QDir::toNativeSeparators(path)),
                           QStringLiteral("Deleting Files")))
        return false;
    // The trash lives under the user's data folder, which must exist for it to work.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    if (QFile::moveToTrash(path)) return true;
    FDialogs->ShowMessage(QStringLiteral("\"%1\" could not be moved to the trash; nothing was deleted.").arg(path),
                          QStringLiteral("Deleting Files"), true);
    return false;
}

void MainWindow::mnuDeleteClick()
{
    const QModelIndex node = folderTree->currentIndex();
    if (!node.isValid() || !node.parent().isValid()) return;
    DeleteToRecycleBin(FPickedPath);
    const QModelIndex parentNode = node.parent();
    folderTree->setCurrentIndex(parentNode);
    ProcessPendingEvents();
}

void MainWindow::mnuRenameClick()
{
    const QString treePath = TreePath();
    if (treePath != FPickedPath) {
        // The last pick was an item of the list.
        const QModelIndex item = fileList->currentIndex();
        if (item.isValid()) StartEditing(fileList, item);
        return;
    }
    const QModelIndex node = folderTree->currentIndex();
    if (node.isValid() && node.parent().isValid()) StartEditing(folderTree, node);
}

void MainWindow::FolderRenamed(const QString& folder)
{
    // A renamed folder no longer exists under its old path: its parent becomes the
    // current and transfer folder, collapsed so that the tree shows the new order.
    const QModelIndex parentNode = FTreeModel->index(folder);
    if (!parentNode.isValid()) return;
    folderTree->setCurrentIndex(parentNode);
    folderTree->collapse(parentNode);
    folderTree->viewport()->update();
    ProcessPendingEvents();
}

void MainWindow::OpenRecentFolder(int slot)
{
    const QString folder = FRecentFolders[slot - 1];
    if (folder.isEmpty()) return;
    if (DirExists(S(folder))) {
        SetTreePath(folder);
        return;
    }
    FDialogs->ShowMessage(Q(FolderMissingStart) + folder + Q(FolderMissingEnd), Q(Str::Error), true);
    FRecentFolders[slot - 1].clear();
    UpdateControls();
}

void MainWindow::NormalizeRecent(bool enableItems)
{
    NormalizeRecentSlots(FRecentFolders);
    mnuMRUSeparator->setVisible(false);
    for (int n = 1; n <= RecentSlotCount; ++n) {
        QAction* item = recentFolderItems[n - 1];
        item->setEnabled(enableItems);
        item->setText(RecentCaption(n, FRecentFolders[n - 1]));
        const bool used = !FRecentFolders[n - 1].isEmpty();
        item->setVisible(used);
        if (used) mnuMRUSeparator->setVisible(true);
    }
}

void MainWindow::AddRecentFolder(bool enableItems)
{
    AddRecentFolderSlots(FRecentFolders, Q(FServer->Folder()));
    NormalizeRecent(enableItems);
}

// ---------------------------------------------------------------- help, About and log

void MainWindow::mnuContentsHelpClick() { Help().ShowContents(); }
void MainWindow::mnuCommHelpClick() { ShowHelpTopic(HelpContextOf(mnuCommHelp)); }
void MainWindow::ShowHelpTopic(int context) { Help().ShowTopic(context); }

int MainWindow::PackPoint(const QPoint& point)
{
    return static_cast<int>((static_cast<uint32_t>(static_cast<uint16_t>(point.y())) << 16) | static_cast<uint16_t>(point.x()));
}

QPoint MainWindow::UnpackPoint(int data)
{
    const auto bits = static_cast<uint32_t>(data);
    return {static_cast<int16_t>(bits & 0xFFFF), static_cast<int16_t>(bits >> 16)};
}

bool MainWindow::HelpRequest(int command, int data)
{
    if (command == HelpSetPopupPosition) {
        FPopupPoint = UnpackPoint(data);
        return true;
    }
    if (command == HelpContextPopup) {
        ShowContextPopup(FPopupPoint, data);
        return true;
    }
    return false;
}

void MainWindow::ShowContextPopup(const QPoint& point, int context)
{
    if (IsTopicContext(context)) {
        ShowHelpTopic(context);
        return;
    }
    if (context > 1) {
        Help().ShowContextPopup(point, context);
        return;
    }
    const QWidget* focus = QApplication::focusWidget();
    const QString hint = focus ? HintOf(focus) : QString();
    if (!hint.isEmpty())
        Help().ShowTextPopup(point, hint);
    else
        mnuContentsHelpClick();
}

void MainWindow::HelpKey()
{
    // A highlighted menu item answers with its own context, placed at the window.
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()); menu && menu->activeAction()) {
        const int context = HelpContextOf(menu->activeAction());
        HelpRequest(HelpSetPopupPosition, PackPoint(mapToGlobal(QPoint(0, 0))));
        HelpRequest(HelpContextPopup, context != 0 ? context : HelpContextOf(this));
        return;
    }
    QWidget* focus = QApplication::focusWidget();
    QWidget* control = focus ? focus : this;
    HelpRequest(HelpSetPopupPosition, PackPoint(control->mapToGlobal(QPoint(0, 0))));
    HelpRequest(HelpContextPopup, NearestHelpContext(control));
}

void MainWindow::mnuAboutClick()
{
    if (TheAboutDialog) TheAboutDialog->exec();
}

void MainWindow::tmrAboutTimer()
{
    if (FAboutStep == 0) {
        Trace(GetVersionString());
        FAboutStep = 1;
        tmrAbout->setInterval(AboutShownMs);
        if (TheAboutDialog) {
            TheAboutDialog->exec();
            TheAboutDialog->hide();
        }
    } else if (FAboutStep == 1) {
        // This tick comes from inside the About window's modal loop.
        if (TheAboutDialog) TheAboutDialog->close();
        FAboutStep = 2;
        tmrAbout->setInterval(AboutFirstTickMs);
    } else {
        tmrAbout->stop();
        ++FAboutStep;
    }
}

void MainWindow::mnuLogShowClick()
{
    if (!TheLogWindow) return;
    TheLogWindow->show();
    if (TheLogWindow->isVisible() && (TheLogWindow->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        TheLogWindow->showNormal();
    TheLogWindow->raise();
    TheLogWindow->activateWindow();
}

void MainWindow::FormKeyPress(QChar key)
{
    const QChar expected = QLatin1Char(LogKeys[FLogKeyState]);
    if (key != expected) {
        FLogKeyState = 0;
        return;
    }
    if (++FLogKeyState < 3) return;
    FLogKeyState = 0;
    mnuLogShow->setVisible(true);
    btnLogItem->setVisible(true);
    mnuLogShowClick();
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    for (QChar c : event->text()) FormKeyPress(c);
    QMainWindow::keyPressEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Installed on the application, this window answers every help request.
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            Guarded([this] { HelpKey(); });
            return true;
        }
        if (watched == fileList || watched == btnLog) {
            for (QChar c : key->text()) FormKeyPress(c);
            // The list takes no keyboard commands at all.
            return watched == fileList;
        }
        if (watched == folderTree && key->key() == Qt::Key_Delete &&
            !folderTree->Editing()) {
            Guarded([this] { mnuDeleteClick(); });
            return true;
        }
    }
    if (fileList && watched == fileList->viewport() && event->type() == QEvent::MouseButtonPress) {
        // A press beside the items still picks the selected one.
        QTimer::singleShot(0, this, [this] { ListPicked(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- IHostWindows

bool MainWindow::InstructionsVisible() { return TheSetupDialog && TheSetupDialog->isVisible(); }

void MainWindow::FocusInstructions()
{
    if (TheSetupDialog) TheSetupDialog->activateWindow();
}

void MainWindow::ShowMessage(const std::string& text, const std::string& caption)
{
    FDialogs->ShowMessage(Q(text), Q(caption), false);
}

std::optional<std::string> MainWindow::ChooseFileToSend(const std::string& title, const std::string& initialPath)
{
    // Unattended use (scripts, the demo): the file named here answers every request.
    if (const QString preset = qEnvironmentVariable("CALVYX_XMODEM_FILE"); !preset.isEmpty()) return S(preset);
    const auto path = FDialogs->AskOpenFile(Q(title), QFileInfo(Q(initialPath)).path(), QStringLiteral("All Files (*)"));
    if (!path) return std::nullopt;
    return S(*path);
}

std::unique_ptr<IStatusDialog> MainWindow::CreateStatusDialog() { return std::make_unique<TransferStatusDialog>(nullptr); }

void MainWindow::FocusMainWindow()
{
    raise();
    activateWindow();
}
