#include "mainwindow/QVDir.h"

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

#include "kermit/Kermit.h"
#include "link/PortLink.h"
#include "mainwindow/CommandLine.h"
#include "mainwindow/FolderNames.h"
#include "mainwindow/HelpContext.h"
#include "mainwindow/HelpSystem.h"
#include "mainwindow/MainSettings.h"
#include "mainwindow/SearchAnimation.h"
#include "services/CmStatus.h"
#include "services/ObjectName.h"
#include "services/SelectedPort.h"
#include "services/XModemServer.h"
#include "util/GeneralError.h"
#include "util/MainThread.h"
#include "util/Registry.h"
#include "util/StringTable.h"
#include "util/Ticks.h"
#include "util/Utils.h"
#include "util/Version.h"
#include "windows/About.h"
#include "windows/DownLd.h"
#include "windows/ErrorBox.h"
#include "windows/LogIt.h"
#include "windows/ScreenCapt.h"
#include "windows/windowsPosSave.h"

TFQVDir* FQVDir = nullptr;
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
class TFQVDir::LinkReservation {
public:
    explicit LinkReservation(TFQVDir& window) : window_(window) { ++window_.FLinkReserved; }
    ~LinkReservation() { --window_.FLinkReserved; }
    LinkReservation(const LinkReservation&) = delete;
    LinkReservation& operator=(const LinkReservation&) = delete;

private:
    TFQVDir& window_;
};

TFQVDir::TFQVDir(std::function<void()> endProcess, QWidget* parent)
    : QMainWindow(parent), FEndProcess(std::move(endProcess)), FDialogs(std::make_unique<TStandardDialogs>(this))
{
    FormCreate();
}

TFQVDir::~TFQVDir()
{
    if (Host() == this) SetHost(nullptr);
    if (FQVDir == this) FQVDir = nullptr;
    // The capture window is owned by this window; forget it before Qt deletes it.
    if (FCapture && FCapture->parent() == this) FCapture = nullptr;
}

void TFQVDir::SetDialogs(std::unique_ptr<TUserDialogs> dialogs) { FDialogs = std::move(dialogs); }

// ---------------------------------------------------------------- layout

void TFQVDir::BuildMenus()
{
    auto hinted = [this](QMenu* menu, const char* text, const char* hint, auto handler) {
        QAction* action = menu->addAction(Q(text));
        if (hint) action->setStatusTip(Q(hint));
        connect(action, &QAction::triggered, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    mnuDelete = hinted(file, "Delete", "Permanently remove the folder", &TFQVDir::mnuDeleteClick);
    mnuRename = hinted(file, "Rena&me", nullptr, &TFQVDir::mnuRenameClick);
    mnuNewFolder = hinted(file, "New Folder", nullptr, &TFQVDir::mnuNewFolderClick);
    file->addSeparator();
    mnuCaptureScreen = hinted(file, "Screen Capture", "View the Screen Capture Window", &TFQVDir::mnuCaptureScreenClick);
    mnuRcveByWire = hinted(file, "Receive Calcapp (By Wire)", "Receive Calcapp (By Wire) to the PC", &TFQVDir::mnuRcveByWireClick);
    mnuLogShow = hinted(file, "Log", nullptr, &TFQVDir::mnuLogShowClick);
    mnuMRUSeparator = file->addSeparator();
    for (int n = 1; n <= RecentSlotCount; ++n) {
        QAction* item = file->addAction(RecentCaption(n, {}));
        connect(item, &QAction::triggered, this, [this, n] { Guarded([this, n] { N1Click(n); }); });
        FRecent[n - 1] = item;
    }
    file->addSeparator();
    mnuExit = hinted(file, "E&xit", nullptr, &TFQVDir::mnuExitClick);

    QMenu* rom = menuBar()->addMenu(QStringLiteral("ROM"));
    DownloadCalculatorROM1 = hinted(rom, "Download Calculator ROM...", nullptr, &TFQVDir::DownloadCalculatorROM1Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuContentsHelp = hinted(help, "Contents and Index", nullptr, &TFQVDir::mnuContentsHelpClick);
    help->addSeparator();
    mnuCommHelp = hinted(help, "Communications Topics", nullptr, &TFQVDir::mnuCommHelpClick);
    SetHelpContext(mnuCommHelp, HelpContextCommunications);
    // Trouble shooting opens the book at its contents, like "Contents and Index".
    mnuTroubleHelp = hinted(help, "Trouble Shooting", nullptr, &TFQVDir::mnuContentsHelpClick);
    help->addSeparator();
    mnuAbout = hinted(help, "About", nullptr, &TFQVDir::mnuAboutClick);
    for (QMenu* menu : {file, rom, help}) menu->installEventFilter(this);
}

void TFQVDir::BuildToolBar()
{
    ToolBar = addToolBar(QStringLiteral("ToolBar"));
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->setIconSize(QSize(16, 16));
    ToolBar->setFixedHeight(29);
    auto button = [this](QStyle::StandardPixmap icon, const char* name, const char* hint, void (TFQVDir::*handler)()) {
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
    tbtnNewFolder = button(QStyle::SP_FileDialogNewFolder, "tbtnNewFolder", "Create a new folder", &TFQVDir::mnuNewFolderClick);
    tbtnScrnCapture = button(QStyle::SP_DesktopIcon, "tbtnScrnCapture", "View screen capture window.", &TFQVDir::mnuCaptureScreenClick);
    tbtnRcve = button(QStyle::SP_ArrowDown, "tbtnRcve", "Receive Calcapp (By Wire) to the PC", &TFQVDir::tbtnRcveClick);
    ToolBar->addSeparator();
    tbtnExit = button(QStyle::SP_DialogCloseButton, "tbtnExit", "Disconnect and Exit program.", &TFQVDir::mnuExitClick);
    ToolBar->addSeparator();

    Label1 = new QLabel(QStringLiteral("Connect using:"), ToolBar);
    Label1->setContentsMargins(4, 0, 4, 0);
    ToolBar->addWidget(Label1);
    ComboBox1 = new QComboBox(ToolBar);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setMinimumWidth(92);
    ComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    ComboBox1->setFocusPolicy(Qt::ClickFocus); // no tab stop
    connect(ComboBox1, &QComboBox::activated, this, [this] { Guarded([this] { ComboBox1Click(); }); });
    ToolBar->addWidget(ComboBox1);
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

void TFQVDir::BuildViews()
{
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setCentralWidget(Panel2);
    auto* layout = new QVBoxLayout(Panel2);
    layout->setContentsMargins(2, 2, 2, 2);

    lblPrompt = new QLabel(Panel2);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt->setWordWrap(true);
    lblPrompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblPrompt->setGeometry(PromptLeft, 8, PromptWidth, PromptHeight);
    QFont promptFont = lblPrompt->font();
    promptFont.setPixelSize(13);
    lblPrompt->setFont(promptFont);

    Animate2 = new TSearchAnimation(Panel2);
    Animate2->setObjectName(QStringLiteral("Animate2"));
    SetHelpContext(Animate2, HelpContextMain);

    Splitter1 = new QSplitter(Qt::Horizontal, Panel2);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false); // no snapping
    Splitter1->setHandleWidth(4);
    layout->addWidget(Splitter1);

    FTreeModel = new QFileSystemModel(this);
    FTreeModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    FTreeModel->setReadOnly(false); // labels are renamed in place
    FTreeModel->setRootPath(QDir::rootPath());
    ShellTreeView1 = new TShellView(Splitter1);
    ShellTreeView1->setObjectName(QStringLiteral("ShellTreeView1"));
    ShellTreeView1->setModel(FTreeModel);
    for (int column = 1; column < FTreeModel->columnCount(); ++column) ShellTreeView1->hideColumn(column);
    ShellTreeView1->setHeaderHidden(true);
    ShellTreeView1->setEditTriggers(QAbstractItemView::EditKeyPressed);
    ShellTreeView1->setAutoScroll(true);
    ShellTreeView1->setContextMenuPolicy(Qt::PreventContextMenu);
    SetHint(ShellTreeView1, QStringLiteral("Select the directory for T20+ Calcapps"));
    SetHelpContext(ShellTreeView1, HelpContextFolders);
    ShellTreeView1->installEventFilter(this);
    connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { Guarded([this] { ShellTreeView1Change(); }); });
    connect(FTreeModel, &QFileSystemModel::fileRenamed, this,
            [this](const QString& folder) { Guarded([this, folder] { ShellTreeView1Edited(folder); }); });

    FListModel = new QFileSystemModel(this);
    FListModel->setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::AllDirs);
    FListModel->setReadOnly(false);
    ShellListView1 = new TShellView(Splitter1);
    ShellListView1->setObjectName(QStringLiteral("ShellListView1"));
    ShellListView1->setModel(FListModel);
    ShellListView1->setRootIsDecorated(false);
    ShellListView1->setItemsExpandable(false);
    ShellListView1->setSortingEnabled(false);
    ShellListView1->header()->setSectionsClickable(false);
    ShellListView1->hideColumn(3); // name, size, type
    ShellListView1->setColumnWidth(0, 160);
    ShellListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ShellListView1->setContextMenuPolicy(Qt::PreventContextMenu);
    ShellListView1->setEnabled(false);
    ShellListView1->installEventFilter(this);
    ShellListView1->viewport()->installEventFilter(this);
    connect(ShellListView1, &QAbstractItemView::pressed, this, [this] { ListPicked(); });
    Splitter1->setStretchFactor(1, 1);
    connect(Splitter1, &QSplitter::splitterMoved, this, [this](int position) { FTreeWidth = position; });

    StatusBar = statusBar();
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusPanel = new QLabel(StatusBar);
    StatusPanel->setMinimumWidth(StatusPanelWidth);
    StatusBar->addWidget(StatusPanel);
    SetHint(StatusBar, QStringLiteral("Last command"));
    SetHelpContext(StatusBar, HelpContextStatusBar);
}

// ---------------------------------------------------------------- start-up and shutdown

void TFQVDir::FormCreate()
{
    // One instance at a time: a second start ends here, silently.
    if (!FStartupMutex.Acquire()) {
        FRefused = true;
        if (FEndProcess) FEndProcess();
        return;
    }
    FQVDir = this;
    setWindowTitle(Q(Caption));
    resize(FormWidth, FormHeight);
    setMinimumSize(FormMinWidth, FormMinHeight);
    SetHelpContext(this, HelpContextMain);
    BuildToolBar();
    BuildMenus();
    BuildViews();

    Timer2 = new QTimer(this);
    Timer2->setInterval(PollIntervalMs);
    connect(Timer2, &QTimer::timeout, this, [this] { Guarded([this] { Timer2Timer(); }); });
    tmrAbout = new QTimer(this);
    tmrAbout->setInterval(AboutFirstTickMs);
    connect(tmrAbout, &QTimer::timeout, this, [this] { Guarded([this] { tmrAboutTimer(); }); });
    WindowPosSave1 = new TWindowPosSave(this, QStringLiteral("Connectivity"));

    btnLogItem->setVisible(false);
    FillConnectionBox();
    FCaptureRequested = false;
    StartingUp = true;
    SetSelectedPort(UsbDeviceName);
    ApplyPortParameter();
    mnuLogShow->setVisible(false);
    FLogKeyState = 0;
    FPickedPath.clear();
    RegistryRootName = Q(DefaultRegistryRoot);
    PublishRegistryRoot(S(RegistryRootName));

    SetHost(this);
    FServer = std::make_unique<TXModemServer>();
    FServer->SetOnKermitActivity([this](TKermit* sender) { KermitActivity(sender); });
    FServer->OnStatus = [this](TXModemServer*, const std::string& text, int, int, int, int) { ShowServerStatus(text); };

    lblPrompt->setText(Lines(Str::Disconnected));
    Animate2->hide();
    Animate2->Stop();
    FConnState = StateUnset;
    SetConnState(StateDisconnected);
    Guarded([this] { WindowPosSave1->RestorePositions(true, true); });
    LoadSettings();
    EnsureCaptureWindow();
    Timer2->start();
}

void TFQVDir::FillConnectionBox()
{
    ComboBox1->addItems({Q(UsbDeviceName), QStringLiteral("COM1"), QStringLiteral("COM2")});
    // Serial adapters of this machine after the fixed names; /dev/ttySn is COM(n+1).
    QStringList extra;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QString name = info.systemLocation();
        if (name.startsWith(QLatin1String("/dev/ttyS"))) {
            bool ok = false;
            const int n = name.mid(9).toInt(&ok);
            if (ok) name = QStringLiteral("COM%1").arg(n + 1);
        }
        if (ComboBox1->findText(name) < 0 && !extra.contains(name)) extra << name;
    }
    extra.sort();
    ComboBox1->addItems(extra);
    ComboBox1->setCurrentIndex(0);
}

void TFQVDir::ApplyPortParameter()
{
    // The box keeps showing its first item whatever the parameter chose.
    if (const auto port = PortFromCommandLine(RawCommandLine())) SetSelectedPort(*port);
}

void TFQVDir::LoadSettings()
{
    const MainSettings settings = ReadMainSettings(QDir::currentPath());
    try {
        if (DirExists(S(settings.dir))) SetTreePath(settings.dir);
    } catch (const std::exception&) {
        // A folder the tree cannot show is not applied.
    }
    FTreeWidth = settings.dirWidthSplit;
    FRecentFolders = settings.recent;
    NormalizeRecent(ControlsFor(FConnState, ComboBox1->currentIndex() == 0).recentEnabled);
    // The restored folder becomes the transfer folder.
    ShellTreeView1Change();
}

void TFQVDir::EnsureCaptureWindow()
{
    if (!FCapture) FCapture = new TFCapture(this);
}

void TFQVDir::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!FShown && !event->spontaneous()) {
        FShown = true;
        FormShow();
    }
}

void TFQVDir::FormShow()
{
    if (FDownLd) FDownLd->SetMainWindow(this);
    TFCmStatus::SetCenterForm(this);
    if (FAboutForm) FAboutForm->SetMainWindow(this);
    FormResize();
    StartingUp = false;
}

void TFQVDir::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TFQVDir::FormActivate()
{
    if (AboutShown) return;
    AboutShown = true;
    FAboutStep = 0;
    tmrAbout->setInterval(AboutFirstTickMs);
    tmrAbout->start();
}

void TFQVDir::closeEvent(QCloseEvent* event)
{
    if (FRefused) {
        event->accept();
        return;
    }
    FormClose();
    event->accept();
    if (FEndProcess) FEndProcess();
}

void TFQVDir::FormClose()
{
    Timer2->stop();
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
    if (FLogForm) FLogForm->close();
    if (FCapture) FCapture->close();
    WindowPosSave1->SavePositions();
}

void TFQVDir::mnuExitClick() { close(); }

void TFQVDir::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TFQVDir::FormResize()
{
    if (!lblPrompt) return;
    lblPrompt->move(PromptLeft, lblPrompt->y());
    // Centred under the prompt; the halving truncates toward zero.
    Animate2->move((2 * lblPrompt->x() + lblPrompt->width() - Animate2->width()) / 2, AnimationBottom - Animate2->height());
}

void TFQVDir::ShowServerStatus(const std::string& text)
{
    StatusPanel->setText(Q(text));
    ProcessPendingEvents();
}

void TFQVDir::Guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        ReportError(e.what());
    }
}

void TFQVDir::ReportError(const std::string& message) { ShowApplicationError(Q(message), this); }

// ---------------------------------------------------------------- connection and polling

bool TFQVDir::ProbeUsbDevice(const std::string& name) { return UsbDevicePresent(name); }

void TFQVDir::Timer2Timer()
{
    if (StartingUp) return;
    Timer2->stop(); // a poll never runs inside another one
    struct Restart {
        QTimer* timer;
        ~Restart() { timer->start(); }
    } restart{Timer2};

    if (FCaptureRequested.exchange(false)) {
        FServer->StopKermitServer();
        ProcessPendingEvents();
        EnsureCaptureWindow();
        ShowConnState(); // the state behind the capture window, while it is open
        FCapture->ShowCapture(SelectedPort(), ByteString(1, ScreenStartByte));
    }
    // While a command of the window has the link, it is left alone: no re-check that
    // could close it under the transfer, and no Kermit server beside the transfer.
    if (!LinkReserved() && TicksSince(LastReceiveTime.load()) > QuietRecheckMs) {
        const std::string port = SelectedPort();
        const bool present = port.find(UsbDeviceName) == std::string::npos || ProbeUsbDevice(port);
        if (present) {
            LastReceiveTime = Now();
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
            if (FCapture && !FServer->PortName.empty() && !FCapture->isVisible() && !FServer->KermitServerRunning())
                FServer->StartKermitServer();
        } else {
            FServer->SelectPort("");
        }
    }
    ShowConnState();
}

void TFQVDir::ShowConnState()
{
    // A Kermit server stopped in the middle of a transfer, or before it reported itself
    // idle again (a pushed screen ends it), never reports that it is idle: its busy
    // flag goes with it, or the window would stay busy for good.
    if (FKermitBusy && !FServer->KermitServerRunning()) {
        FKermitBusy = false;
        FTransferBusy = false;
    }
    if (FServer->PortName.empty())
        SetConnState(StateDisconnected);
    else if (FTransferBusy || (FCmStatus && FCmStatus->IsStatusVisible()))
        SetConnState(StateBusy);
    else
        SetConnState(StateConnected);
}

void TFQVDir::ComboBox1Click()
{
    LinkReservation reserve(*this);
    UpdateControls();
    FServer->StopKermitServer();
    FServer->SelectPort("");
    SetSelectedPort(S(ComboBox1->currentText()));
    FPortErrorShown = true; // an error of this choice is shown here, not again by the poll
    FServer->SelectPort(SelectedPort());
    FPortErrorShown = false;
    UpdateControls();
    const bool usb = ComboBox1->currentIndex() == 0;
    tbtnRcve->setEnabled(usb);
    mnuRcveByWire->setEnabled(usb);
}

void TFQVDir::SetConnState(int state)
{
    if (state == FConnState) return;
    FConnState = state;
    if (state == StateDisconnected) ShowServerStatus("");
    UpdateControls();
}

void TFQVDir::UpdateControls()
{
    const ControlStates c = ControlsFor(FConnState, ComboBox1->currentIndex() == 0);
    // The views show and hide with their splitter; the tree keeps its width meanwhile.
    const bool wasHidden = Splitter1->isHidden();
    if (!wasHidden) FTreeWidth = Splitter1->sizes().value(0, FTreeWidth);
    Splitter1->setVisible(c.treeVisible && c.listVisible);
    if (wasHidden && !Splitter1->isHidden()) Splitter1->setSizes({FTreeWidth, std::max(1, Splitter1->width() - FTreeWidth)});
    ShellTreeView1->setEnabled(c.treeEnabled);
    Splitter1->setEnabled(c.splitterEnabled);
    lblPrompt->setVisible(c.promptVisible);
    ShellListView1->setEnabled(c.listEnabled);
    ComboBox1->setEnabled(c.comboEnabled);
    Animate2->setVisible(c.animationPlaying);
    if (c.animationPlaying) {
        Animate2->raise();
        Animate2->Play();
    } else {
        Animate2->Stop();
    }
    mnuCaptureScreen->setEnabled(c.captureEnabled);
    tbtnScrnCapture->setEnabled(c.captureEnabled);
    for (QAction* a : {mnuNewFolder, mnuDelete, mnuRename}) a->setEnabled(c.folderCommandsEnabled);
    tbtnNewFolder->setEnabled(c.folderCommandsEnabled);
    tbtnRcve->setEnabled(c.usbCommandsEnabled);
    mnuRcveByWire->setEnabled(c.usbCommandsEnabled);
    DownloadCalculatorROM1->setEnabled(c.usbCommandsEnabled);
    NormalizeRecent(c.recentEnabled);
}

void TFQVDir::KermitActivity(TKermit* sender)
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

void TFQVDir::SetTransferBusy(bool busy)
{
    if (busy == FTransferBusy) return;
    FTransferBusy = busy;
    if (busy) AddRecentFolder(false);
    // At once, not at the next poll: the transfer's wait serves events, and the
    // connection box or a command must not be usable meanwhile.
    ShowConnState();
}

void TFQVDir::RequestScreenCapture() { FCaptureRequested = true; }

void TFQVDir::mnuCaptureScreenClick()
{
    if (LinkReserved()) return; // a command's transfer has the link; its wait serves events
    LinkReservation reserve(*this);
    FServer->StopKermitServer();
    EnsureCaptureWindow();
    FCapture->ShowCapture(SelectedPort(), ByteString());
}

// ---------------------------------------------------------------- transfers the PC starts

void TFQVDir::DoRcveByWire(bool askFirst)
{
    // A transfer's wait serves events: a click that arrives meanwhile, before the poll
    // has shown the busy state, must not start a second transfer on the same link.
    if (LinkReserved()) return;
    const QString folder = FServer->KermitServerRunning() ? Q(FServer->KermitServer->Folder) : QStringLiteral(".");
    bool present = true;
    if (PortLink.Kind == LinkKind::Usb) present = ProbeUsbDevice(SelectedPort());
    if (askFirst && (!present || !FDialogs->ShowInstructions(ikSendCalcapp))) return;

    LinkReservation reserve(*this);
    FServer->StopKermitServer();
    FServer->SelectPort(SelectedPort());
    if (FServer->PortName.empty()) return;
    {
        struct Idle {
            TFQVDir* window;
            ~Idle() { window->SetTransferBusy(false); }
        } idle{this};
        SetTransferBusy(true);
        ProcessPendingEvents();
        FServer->ReceiveObject(Str::SendByWire, 0);
    }
    if (!FServer->ReceivedData.empty()) {
        const QByteArray object(FServer->ReceivedData.data(), static_cast<qsizetype>(FServer->ReceivedData.size()));
        QString proposed = folder + QLatin1Char('/') + ReceivedObjectName(object);
        // A file that cannot be written (a full disk, a folder without permission) is
        // reported and the dialog comes back with the same name, so that the object can
        // go elsewhere: it exists nowhere but here. Cancelling discards it.
        while (const auto path = FDialogs->AskSaveFile(Q(ReceiveTitle), proposed)) {
            try {
                WriteStringToFile(FServer->ReceivedData, S(*path));
                break;
            } catch (const CalvyxError& e) {
                ReportError(e.what());
                proposed = *path;
            }
        }
    }
    FServer->ReceivedData.clear();
}

void TFQVDir::DownloadCalculatorROM1Click()
{
    if (LinkReserved()) return; // see DoRcveByWire
    struct Idle {
        TFQVDir* window;
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
        opened = FServer->OpenPortDirect(S(ComboBox1->currentText()));
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

QString TFQVDir::PathOf(const QTreeView* view, const QModelIndex& index) const
{
    if (!index.isValid()) return {};
    return static_cast<const QFileSystemModel*>(view->model())->filePath(index);
}

int TFQVDir::TreeWidth() const
{
    return Splitter1->isHidden() ? FTreeWidth : Splitter1->sizes().value(0, FTreeWidth);
}

QString TFQVDir::TreePath() const { return PathOf(ShellTreeView1, ShellTreeView1->currentIndex()); }

void TFQVDir::SetTreePath(const QString& path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    if (path.isEmpty() || !QFileInfo(clean).isDir()) throw CalvyxError(S(Q(SettingPathError).arg(path)));
    const QModelIndex index = FTreeModel->index(clean);
    if (!index.isValid()) throw CalvyxError(S(Q(SettingPathError).arg(path)));
    ShellTreeView1->setCurrentIndex(index);
    ShellTreeView1->scrollTo(index);
    ShellTreeView1->expand(index);
}

void TFQVDir::ShellTreeView1Change()
{
    const QString path = TreePath();
    if (path.isEmpty()) return;
    FPickedPath = path;
    Trace("Path Change = " + S(path));
    FListModel->setRootPath(path);
    ShellListView1->setRootIndex(FListModel->index(path));
    // Only a local folder is made the transfer folder.
    if (QDir::isAbsolutePath(path) && FServer) FServer->SetFolder(S(path));
}

void TFQVDir::ListPicked()
{
    const QModelIndex index = ShellListView1->currentIndex();
    if (index.isValid() && ShellListView1->selectionModel()->isSelected(index)) FPickedPath = PathOf(ShellListView1, index);
}

void TFQVDir::StartEditing(QTreeView* view, const QModelIndex& index)
{
    if (!index.isValid()) return;
    view->setFocus();
    view->setCurrentIndex(index);
    view->edit(index);
}

void TFQVDir::mnuNewFolderClick()
{
    if (ShellTreeView1->Editing()) return;
    ShellTreeView1->setFocus();
    const QString folder = NextNewFolderPath(TreePath());
    if (folder.isEmpty()) return;
    QDir().mkdir(folder); // a failure shows when the tree cannot go there
    ProcessPendingEvents();
    SetTreePath(folder);
    StartEditing(ShellTreeView1, ShellTreeView1->currentIndex());
}

bool TFQVDir::DeleteToRecycleBin(const QString& path)
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

void TFQVDir::mnuDeleteClick()
{
    const QModelIndex node = ShellTreeView1->currentIndex();
    if (!node.isValid() || !node.parent().isValid()) return;
    DeleteToRecycleBin(FPickedPath);
    const QModelIndex parentNode = node.parent();
    ShellTreeView1->setCurrentIndex(parentNode);
    ProcessPendingEvents();
}

void TFQVDir::mnuRenameClick()
{
    const QString treePath = TreePath();
    if (treePath != FPickedPath) {
        // The last pick was an item of the list.
        const QModelIndex item = ShellListView1->currentIndex();
        if (item.isValid()) StartEditing(ShellListView1, item);
        return;
    }
    const QModelIndex node = ShellTreeView1->currentIndex();
    if (node.isValid() && node.parent().isValid()) StartEditing(ShellTreeView1, node);
}

void TFQVDir::ShellTreeView1Edited(const QString& folder)
{
    // A renamed folder no longer exists under its old path: its parent becomes the
    // current and transfer folder, collapsed so that the tree shows the new order.
    const QModelIndex parentNode = FTreeModel->index(folder);
    if (!parentNode.isValid()) return;
    ShellTreeView1->setCurrentIndex(parentNode);
    ShellTreeView1->collapse(parentNode);
    ShellTreeView1->viewport()->update();
    ProcessPendingEvents();
}

void TFQVDir::N1Click(int slot)
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

void TFQVDir::NormalizeRecent(bool enableItems)
{
    NormalizeRecentSlots(FRecentFolders);
    mnuMRUSeparator->setVisible(false);
    for (int n = 1; n <= RecentSlotCount; ++n) {
        QAction* item = FRecent[n - 1];
        item->setEnabled(enableItems);
        item->setText(RecentCaption(n, FRecentFolders[n - 1]));
        const bool used = !FRecentFolders[n - 1].isEmpty();
        item->setVisible(used);
        if (used) mnuMRUSeparator->setVisible(true);
    }
}

void TFQVDir::AddRecentFolder(bool enableItems)
{
    AddRecentFolderSlots(FRecentFolders, Q(FServer->Folder));
    NormalizeRecent(enableItems);
}

// ---------------------------------------------------------------- help, About and log

void TFQVDir::mnuContentsHelpClick() { Help().ShowContents(); }
void TFQVDir::mnuCommHelpClick() { ShowHelpTopic(HelpContextOf(mnuCommHelp)); }
void TFQVDir::ShowHelpTopic(int context) { Help().ShowTopic(context); }

int TFQVDir::PackPoint(const QPoint& point)
{
    return static_cast<int>((static_cast<uint32_t>(static_cast<uint16_t>(point.y())) << 16) | static_cast<uint16_t>(point.x()));
}

QPoint TFQVDir::UnpackPoint(int data)
{
    const auto bits = static_cast<uint32_t>(data);
    return {static_cast<int16_t>(bits & 0xFFFF), static_cast<int16_t>(bits >> 16)};
}

bool TFQVDir::HelpRequest(int command, int data)
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

void TFQVDir::ShowContextPopup(const QPoint& point, int context)
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

void TFQVDir::HelpKey()
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

void TFQVDir::mnuAboutClick()
{
    if (FAboutForm) FAboutForm->exec();
}

void TFQVDir::tmrAboutTimer()
{
    if (FAboutStep == 0) {
        Trace(GetVersionString());
        FAboutStep = 1;
        tmrAbout->setInterval(AboutShownMs);
        if (FAboutForm) {
            FAboutForm->exec();
            FAboutForm->hide();
        }
    } else if (FAboutStep == 1) {
        // This tick comes from inside the About window's modal loop.
        if (FAboutForm) FAboutForm->close();
        FAboutStep = 2;
        tmrAbout->setInterval(AboutFirstTickMs);
    } else {
        tmrAbout->stop();
        ++FAboutStep;
    }
}

void TFQVDir::mnuLogShowClick()
{
    if (!FLogForm) return;
    FLogForm->show();
    if (FLogForm->isVisible() && (FLogForm->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
        FLogForm->showNormal();
    FLogForm->raise();
    FLogForm->activateWindow();
}

void TFQVDir::FormKeyPress(QChar key)
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

void TFQVDir::keyPressEvent(QKeyEvent* event)
{
    for (QChar c : event->text()) FormKeyPress(c);
    QMainWindow::keyPressEvent(event);
}

bool TFQVDir::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Installed on the application, this window answers every help request.
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            Guarded([this] { HelpKey(); });
            return true;
        }
        if (watched == ShellListView1 || watched == btnLog) {
            for (QChar c : key->text()) FormKeyPress(c);
            // The list takes no keyboard commands at all.
            return watched == ShellListView1;
        }
        if (watched == ShellTreeView1 && key->key() == Qt::Key_Delete &&
            !ShellTreeView1->Editing()) {
            Guarded([this] { mnuDeleteClick(); });
            return true;
        }
    }
    if (ShellListView1 && watched == ShellListView1->viewport() && event->type() == QEvent::MouseButtonPress) {
        // A press beside the items still picks the selected one.
        QTimer::singleShot(0, this, [this] { ListPicked(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- IHostWindows

bool TFQVDir::InstructionsVisible() { return FDownLd && FDownLd->isVisible(); }

void TFQVDir::FocusInstructions()
{
    if (FDownLd) FDownLd->activateWindow();
}

void TFQVDir::ShowMessage(const std::string& text, const std::string& caption)
{
    FDialogs->ShowMessage(Q(text), Q(caption), false);
}

std::optional<std::string> TFQVDir::ChooseFileToSend(const std::string& title, const std::string& initialPath)
{
    // Unattended use (scripts, the demo): the file named here answers every request.
    if (const QString preset = qEnvironmentVariable("CALVYX_XMODEM_FILE"); !preset.isEmpty()) return S(preset);
    const auto path = FDialogs->AskOpenFile(Q(title), QFileInfo(Q(initialPath)).path(), QStringLiteral("All Files (*)"));
    if (!path) return std::nullopt;
    return S(*path);
}

std::unique_ptr<IStatusDialog> TFQVDir::CreateStatusDialog() { return std::make_unique<TFCmStatus>(nullptr); }

void TFQVDir::FocusMainWindow()
{
    raise();
    activateWindow();
}
