// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's layout: the menus, the tool bar, the prompt, the folder views and the
// status bar, and where the prompt and the animation go when the window is resized.
#include "mainwindow/MainWindow.h"

#include <algorithm>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFileIconProvider>
#include <QFileSystemModel>

#include "mainwindow/FolderWatch.h"
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "mainwindow/HelpContext.h"
#include "mainwindow/MainWindowParts.h"
#include "mainwindow/SearchAnimation.h"
#include "windows/ConnectionReportDialog.h"
#include "windows/TransferHistory.h"
#include "windows/TransferTexts.h"

using namespace MainWindowParts;

namespace {

constexpr int PromptLeft = 6;
// Wider than the 260 pixels the prompt was drawn for: the platform fonts are wider.
constexpr int PromptWidth = 320;
constexpr int PromptHeight = 400;
constexpr int AnimationBottom = 310;
constexpr int StatusPanelWidth = 350;

QIcon StandardIcon(QStyle::StandardPixmap pixmap) { return QApplication::style()->standardIcon(pixmap); }

// The list's model: its fourth column is headed "Modified", and a file's size is shown
// as the transfers show sizes.
class FolderListModel : public QFileSystemModel {
public:
    using QFileSystemModel::QFileSystemModel;
    static constexpr int SizeColumn = 1;
    static constexpr int ModifiedColumn = 3;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (section == ModifiedColumn && orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return MainWindow::tr("Modified");
        return QFileSystemModel::headerData(section, orientation, role);
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (index.column() == SizeColumn && role == Qt::DisplayRole && !isDir(index)) return ShownSize(size(index));
        return QFileSystemModel::data(index, role);
    }
};

// The editor of a name is at least as wide as the name (within the view): deep down the
// tree the item's own width is small, and the editor showed the name's end only ("lew
// Folder"). Where it would stick out on the right it moves left over the indentation.
class NameEditorDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    static constexpr int CursorRoom = 16; // the frame, the text margins and the cursor
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::updateEditorGeometry(editor, option, index);
        const auto* line = qobject_cast<QLineEdit*>(editor);
        const QWidget* area = editor->parentWidget();
        if (!line || !area) return;
        const int needed = line->fontMetrics().horizontalAdvance(index.data(Qt::EditRole).toString()) + CursorRoom;
        QRect rect = editor->geometry();
        if (rect.width() >= needed) return;
        rect.setWidth(std::min(needed, area->width()));
        if (rect.right() > area->width() - 1) rect.moveRight(area->width() - 1);
        if (rect.left() < 0) rect.moveLeft(0);
        editor->setGeometry(rect);
    }
};

// The tree's icons: it shows folders only, but its model looks at every entry of a folder
// it lists, and the standard provider reads a file's first bytes for its type. Files get
// the plain file icon and no type, at no cost.
class FolderTreeIconProvider : public QFileIconProvider {
public:
    QIcon icon(IconType type) const override { return QFileIconProvider::icon(type); }
    QIcon icon(const QFileInfo& info) const override
    {
        return info.isDir() ? QFileIconProvider::icon(info) : QFileIconProvider::icon(QAbstractFileIconProvider::File);
    }
    QString type(const QFileInfo& info) const override { return info.isDir() ? QFileIconProvider::type(info) : QString(); }
};

} // namespace

void MainWindow::BuildMenus()
{
    auto hinted = [this](QMenu* menu, const char* text, const char* hint, std::function<void()> handler) {
        QAction* action = menu->addAction(tr(text));
        if (hint) action->setStatusTip(tr(hint));
        connect(action, &QAction::triggered, this, [this, handler] { Guarded(handler); });
        return action;
    };
    // A key the views answer themselves (Delete and F2 act on the view's own item) is
    // shown beside its item without being made the item's shortcut.
    auto showKey = [](QAction* action, const QKeySequence& keys) {
        action->setText(action->text() + QLatin1Char('\t') + keys.toString(QKeySequence::NativeText));
    };
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    deleteAction =
        hinted(file, QT_TR_NOOP("&Delete"), QT_TR_NOOP("Move the folder or file to the trash"), [this] { DeletePicked(); });
    showKey(deleteAction, QKeySequence(Qt::Key_Delete));
    renameAction = hinted(file, QT_TR_NOOP("Rena&me"), nullptr, [this] { RenamePicked(); });
    showKey(renameAction, QKeySequence(Qt::Key_F2));
    newFolderAction = hinted(file, QT_TR_NOOP("&New Folder"), nullptr, [this] { NewFolder(); });
    newFolderAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    file->addSeparator();
    captureAction = hinted(file, QT_TR_NOOP("&Screen Capture"), QT_TR_NOOP("View the Screen Capture Window"),
                           [this] { ShowCaptureWindow(); });
    receiveAction = hinted(file, QT_TR_NOOP("&Receive Calcapp (By Wire)"), QT_TR_NOOP("Receive Calcapp (By Wire) to the PC"),
                           [this] { ReceiveByWire(true); });
    logAction = hinted(file, QT_TR_NOOP("&Log"), nullptr, [this] { ShowLog(); });
    recentFoldersSeparator = file->addSeparator();
    for (int n = 1; n <= RecentSlotCount; ++n) {
        QAction* item = file->addAction(RecentCaption(n, {}));
        connect(item, &QAction::triggered, this, [this, n] { Guarded([this, n] { OpenRecentFolder(n); }); });
        recentFolderItems[n - 1] = item;
    }
    file->addSeparator();
    exitAction = hinted(file, QT_TR_NOOP("E&xit"), nullptr, [this] { Exit(); });
    exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* rom = menuBar()->addMenu(tr("&ROM"));
    rom->setObjectName(QStringLiteral("romMenu"));
    sendRomAction = hinted(rom, QT_TR_NOOP("&Download Calculator ROM..."), nullptr, [this] { SendRom(); });

    connectionMenu = menuBar()->addMenu(tr("&Connection"));
    connectionMenu->setObjectName(QStringLiteral("connectionMenu"));
    connect(connectionMenu, &QMenu::aboutToShow, this, [this] { FillConnectionMenu(); });

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    transfersAction = hinted(view, QT_TR_NOOP("&Transfers"), QT_TR_NOOP("Show the transfers of this and earlier sessions"),
                             [this] { transfersDock->setVisible(!transfersDock->isVisible()); });
    transfersAction->setObjectName(QStringLiteral("transfersAction"));
    transfersAction->setCheckable(true);
    transfersAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    viewLogAction =
        hinted(view, QT_TR_NOOP("&Log"), QT_TR_NOOP("Show what happened to the transfers and the link"), [this] { ShowLog(); });
    viewLogAction->setObjectName(QStringLiteral("viewLogAction"));
    viewLogAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    view->addSeparator();
    classAction = view->addAction(tr("&Class"));
    classAction->setCheckable(true);
    classAction->setStatusTip(tr("Serve every calculator of a class at once, each with its own inbox"));
    connect(classAction, &QAction::toggled, this, [this](bool on) { Guarded([this, on] { ShowClassView(on); }); });

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    helpContentsAction = hinted(help, QT_TR_NOOP("&Contents and Index"), nullptr, [this] { ShowHelpContents(); });
    // F1 is the window's own key: help on what has the keyboard, the contents otherwise.
    showKey(helpContentsAction, QKeySequence(Qt::Key_F1));
    help->addSeparator();
    communicationsHelpAction = hinted(help, QT_TR_NOOP("Communications &Topics"), nullptr, [this] { ShowCommunicationsHelp(); });
    SetHelpContext(communicationsHelpAction, HelpContextCommunications);
    // Trouble shooting opens the book at its contents, like "Contents and Index".
    troubleShootingAction = hinted(help, QT_TR_NOOP("Trouble &Shooting"), nullptr, [this] { ShowHelpContents(); });
    connectionReportAction =
        hinted(help, QT_TR_NOOP("&Why Can't Calvyx Connect?"), nullptr, [this] { ShowConnectionReport(this); });
    help->addSeparator();
    aboutAction = hinted(help, QT_TR_NOOP("&About"), nullptr, [this] { ShowAbout(); });
    for (QMenu* menu : {file, rom, connectionMenu, view, help}) menu->installEventFilter(this);
    // F10 opens the menu bar at its first menu, as on other desktops.
    auto* menuKey = new QAction(this);
    menuKey->setShortcut(QKeySequence(Qt::Key_F10));
    menuKey->setShortcutContext(Qt::WindowShortcut);
    addAction(menuKey);
    connect(menuKey, &QAction::triggered, this, [this] {
        if (!menuBar()->actions().isEmpty()) menuBar()->setActiveAction(menuBar()->actions().first());
    });
}

void MainWindow::BuildToolBar()
{
    toolBar = addToolBar(tr("ToolBar"));
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setIconSize(QSize(16, 16));
    toolBar->setFixedHeight(29);
    auto button = [this](QStyle::StandardPixmap icon, const char* name, const char* hint, std::function<void()> handler) {
        auto* b = new QToolButton(toolBar);
        b->setObjectName(Q(name));
        b->setIcon(StandardIcon(icon));
        b->setFixedWidth(24);
        b->setAutoRaise(true);
        // A tool button never holds the keyboard focus: the first Space or Enter typed
        // after start must not press one (the exit button ends the program).
        b->setFocusPolicy(Qt::NoFocus);
        SetHint(b, tr(hint));
        connect(b, &QToolButton::clicked, this, [this, handler] { Guarded(handler); });
        toolBar->addWidget(b);
        return b;
    };
    newFolderButton =
        button(QStyle::SP_FileDialogNewFolder, "newFolderButton", QT_TR_NOOP("Create a new folder"), [this] { NewFolder(); });
    captureButton = button(QStyle::SP_DesktopIcon, "captureButton", QT_TR_NOOP("View screen capture window."),
                           [this] { ShowCaptureWindow(); });
    receiveButton = button(QStyle::SP_ArrowDown, "receiveButton", QT_TR_NOOP("Receive Calcapp (By Wire) to the PC"),
                           [this] { ReceiveByWire(false); });
    toolBar->addSeparator();
    exitButton =
        button(QStyle::SP_DialogCloseButton, "exitButton", QT_TR_NOOP("Disconnect and Exit program."), [this] { Exit(); });
    toolBar->addSeparator();

    connectionLabel = new QLabel(tr("Connect &using:"), toolBar);
    connectionLabel->setContentsMargins(4, 0, 4, 0);
    toolBar->addWidget(connectionLabel);
    connectionBox = new QComboBox(toolBar);
    connectionBox->setObjectName(QStringLiteral("connectionBox"));
    connectionBox->setMinimumWidth(92);
    connectionBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connectionBox->setFocusPolicy(Qt::ClickFocus); // no tab stop
    connect(connectionBox, &QComboBox::activated, this, [this] { Guarded([this] { ConnectionChosen(); }); });
    toolBar->addWidget(connectionBox);
    // Alt+U takes the keyboard to the box (it is no tab stop); Alt+Down opens it.
    connectionLabel->setBuddy(connectionBox);
    logButton = new QPushButton(tr("&Log"), toolBar);
    logButton->setObjectName(QStringLiteral("logButton"));
    logButton->setFixedSize(81, 22);
    SetHint(logButton, tr("Show log window"));
    logButton->installEventFilter(this);
    connect(logButton, &QPushButton::clicked, this, [this] { Guarded([this] { ShowLog(); }); });
    auto* spacer = new QWidget(toolBar);
    spacer->setFixedWidth(6);
    toolBar->addWidget(spacer);
    logButtonAction = toolBar->addWidget(logButton);
}

void MainWindow::BuildViews()
{
    promptPanel = new QFrame(this);
    promptPanel->setObjectName(QStringLiteral("promptPanel"));
    promptPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setCentralWidget(promptPanel);
    auto* layout = new QVBoxLayout(promptPanel);
    layout->setContentsMargins(2, 2, 2, 2);

    promptLabel = new QLabel(promptPanel);
    promptLabel->setObjectName(QStringLiteral("promptLabel"));
    promptLabel->setWordWrap(true);
    promptLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    promptLabel->setGeometry(PromptLeft, 8, PromptWidth, PromptHeight);
    QFont promptFont = promptLabel->font();
    promptFont.setPixelSize(13);
    promptLabel->setFont(promptFont);

    searchAnimation = new SearchAnimation(promptPanel);
    searchAnimation->setObjectName(QStringLiteral("searchAnimation"));
    SetHelpContext(searchAnimation, HelpContextMain);

    folderSplitter = new QSplitter(Qt::Horizontal, promptPanel);
    folderSplitter->setObjectName(QStringLiteral("folderSplitter"));
    folderSplitter->setChildrenCollapsible(false); // no snapping
    folderSplitter->setHandleWidth(4);
    layout->addWidget(folderSplitter);

    treeModel_ = new QFileSystemModel(this);
    // The model would watch every folder it listed, from the root down to the transfer
    // folder, and list one again, files and all, whenever anything changes in it: a busy
    // /tmp or Downloads above the transfer folder kept the window awake. The folders on
    // screen are watched for their subfolders instead (WatchShownFolders).
    treeModel_->setOption(QFileSystemModel::DontWatchForChanges);
    static FolderTreeIconProvider treeIcons; // outlives the model, as the model wants
    treeModel_->setIconProvider(&treeIcons);
    treeModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    treeModel_->setReadOnly(false); // labels are renamed in place
    treeModel_->setRootPath(QDir::rootPath());
    folderWatch_ = new FolderWatch(this);
    connect(folderWatch_, &FolderWatch::SubfoldersChanged, this,
            [this](const QString& folder) { Guarded([this, folder] { ShownFolderChanged(folder); }); });
    folderTree = new ShellView(folderSplitter);
    folderTree->setObjectName(QStringLiteral("folderTree"));
    folderTree->setModel(treeModel_);
    folderTree->setItemDelegate(new NameEditorDelegate(folderTree));
    for (int column = 1; column < treeModel_->columnCount(); ++column) folderTree->hideColumn(column);
    folderTree->setHeaderHidden(true);
    folderTree->setEditTriggers(QAbstractItemView::EditKeyPressed);
    folderTree->setAutoScroll(true);
    folderTree->setContextMenuPolicy(Qt::CustomContextMenu);
    SetHint(folderTree, tr("Select the folder for the T20, T20+, T20s, T30s Calcapps"));
    SetHelpContext(folderTree, HelpContextFolders);
    folderTree->installEventFilter(this);
    connect(folderTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { Guarded([this] { FolderChanged(); }); });
    // A click (or Enter) in the tree opens its folder as the user's choice.
    for (auto signal : {&QAbstractItemView::clicked, &QAbstractItemView::activated})
        connect(folderTree, signal, this, [this] { AddToRecent(TreePath()); });
    connect(treeModel_, &QFileSystemModel::fileRenamed, this,
            [this](const QString& folder) { Guarded([this, folder] { FolderRenamed(folder); }); });
    connect(folderTree, &QTreeView::expanded, this, &MainWindow::WatchShownFolders);
    connect(folderTree, &QTreeView::collapsed, this, &MainWindow::WatchShownFolders);

    listModel_ = new FolderListModel(this);
    listModel_->setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::AllDirs);
    listModel_->setReadOnly(false);
    fileList = new ShellView(folderSplitter);
    fileList->setObjectName(QStringLiteral("fileList"));
    fileList->setModel(listModel_);
    fileList->setItemDelegate(new NameEditorDelegate(fileList));
    fileList->setRootIsDecorated(false);
    fileList->setItemsExpandable(false);
    // Name, size, type and modified, sorted by the column clicked (by name at first).
    fileList->setSortingEnabled(true);
    fileList->header()->setSectionsClickable(true);
    fileList->sortByColumn(0, Qt::AscendingOrder);
    fileList->setColumnWidth(0, 160);
    fileList->setColumnWidth(1, 70);
    fileList->setColumnWidth(2, 150);
    fileList->setColumnWidth(3, 130);
    fileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fileList->setContextMenuPolicy(Qt::CustomContextMenu);
    fileList->setDragEnabled(true);
    connect(fileList, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { Guarded([this, index] { OpenListItem(index); }); });
    fileList->setEnabled(false);
    fileList->installEventFilter(this);
    fileList->viewport()->installEventFilter(this);
    connect(fileList, &QAbstractItemView::pressed, this, [this] { ListPicked(); });
    connect(listModel_, &QFileSystemModel::fileRenamed, this, &MainWindow::ListItemRenamed);
    // Files dragged in from the desktop are copied into the folder they are dropped on.
    for (ShellView* view : {folderTree, fileList}) {
        view->setAcceptDrops(true);
        view->viewport()->setAcceptDrops(true);
        view->filesDropped = [this](const QStringList& files, const QString& folder) {
            Guarded([this, files, folder] { CopyFilesInto(files, folder); });
        };
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& pos) { Guarded([this, view, pos] { ShowFolderMenu(view, pos); }); });
    }
    folderSplitter->setStretchFactor(1, 1);
    connect(folderSplitter, &QSplitter::splitterMoved, this, [this](int position) { treeWidth_ = position; });

    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("statusBar"));
    statusPanel = new QLabel(status);
    statusPanel->setMinimumWidth(StatusPanelWidth);
    status->addWidget(statusPanel, 1); // the whole bar: long messages are not cut
    waitPanel = new QLabel(tr("Waiting for the calculator ..."), status);
    waitPanel->setObjectName(QStringLiteral("waitPanel"));
    status->addPermanentWidget(waitPanel);
    waitPanel->hide();
    SetHint(status, tr("Last command"));
    SetHelpContext(status, HelpContextStatusBar);
}

void MainWindow::BuildTransfersView()
{
    history_ = new TransferHistory(TransferHistory::DefaultPath(), this);
    history_->Load();
    transfersDock = new QDockWidget(tr("Transfers"), this);
    transfersDock->setObjectName(QStringLiteral("transfersDock"));
    transfersDock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    transfersDock->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    transfersView = new TransferHistoryView(history_, transfersDock);
    transfersDock->setWidget(transfersView);
    addDockWidget(Qt::BottomDockWidgetArea, transfersDock);
    transfersDock->hide();
    connect(transfersDock, &QDockWidget::visibilityChanged, this,
            [this] { transfersAction->setChecked(transfersDock->isVisible()); });
}

void MainWindow::PlacePrompt()
{
    if (!promptLabel) return;
    promptLabel->move(PromptLeft, promptLabel->y());
    // Centred under the prompt; the halving truncates toward zero.
    searchAnimation->move((2 * promptLabel->x() + promptLabel->width() - searchAnimation->width()) / 2,
                          AnimationBottom - searchAnimation->height());
}
