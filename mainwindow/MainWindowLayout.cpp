// The main window's layout: the menus, the tool bar, the prompt, the folder views and the
// status bar, and where the prompt and the animation go when the window is resized.
#include "mainwindow/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "mainwindow/HelpContext.h"
#include "mainwindow/MainWindowParts.h"
#include "mainwindow/SearchAnimation.h"

using namespace MainWindowParts;

namespace {

constexpr int PromptLeft = 6;
// Wider than the 260 pixels the prompt was drawn for: the platform fonts are wider.
constexpr int PromptWidth = 320;
constexpr int PromptHeight = 400;
constexpr int AnimationBottom = 310;
constexpr int StatusPanelWidth = 350;

QIcon StandardIcon(QStyle::StandardPixmap pixmap) { return QApplication::style()->standardIcon(pixmap); }

} // namespace

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

    treeModel_ = new QFileSystemModel(this);
    treeModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    treeModel_->setReadOnly(false); // labels are renamed in place
    treeModel_->setRootPath(QDir::rootPath());
    folderTree = new TShellView(folderSplitter);
    folderTree->setObjectName(QStringLiteral("folderTree"));
    folderTree->setModel(treeModel_);
    for (int column = 1; column < treeModel_->columnCount(); ++column) folderTree->hideColumn(column);
    folderTree->setHeaderHidden(true);
    folderTree->setEditTriggers(QAbstractItemView::EditKeyPressed);
    folderTree->setAutoScroll(true);
    folderTree->setContextMenuPolicy(Qt::PreventContextMenu);
    SetHint(folderTree, QStringLiteral("Select the directory for T20+ Calcapps"));
    SetHelpContext(folderTree, HelpContextFolders);
    folderTree->installEventFilter(this);
    connect(folderTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { Guarded([this] { FolderChanged(); }); });
    connect(treeModel_, &QFileSystemModel::fileRenamed, this,
            [this](const QString& folder) { Guarded([this, folder] { FolderRenamed(folder); }); });

    listModel_ = new QFileSystemModel(this);
    listModel_->setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::AllDirs);
    listModel_->setReadOnly(false);
    fileList = new TShellView(folderSplitter);
    fileList->setObjectName(QStringLiteral("fileList"));
    fileList->setModel(listModel_);
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
    connect(folderSplitter, &QSplitter::splitterMoved, this, [this](int position) { treeWidth_ = position; });

    StatusBar = statusBar();
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusPanel = new QLabel(StatusBar);
    StatusPanel->setMinimumWidth(StatusPanelWidth);
    StatusBar->addWidget(StatusPanel);
    SetHint(StatusBar, QStringLiteral("Last command"));
    SetHelpContext(StatusBar, HelpContextStatusBar);
}

void MainWindow::FormResize()
{
    if (!lblPrompt) return;
    lblPrompt->move(PromptLeft, lblPrompt->y());
    // Centred under the prompt; the halving truncates toward zero.
    searchAnimation->move((2 * lblPrompt->x() + lblPrompt->width() - searchAnimation->width()) / 2, AnimationBottom - searchAnimation->height());
}
