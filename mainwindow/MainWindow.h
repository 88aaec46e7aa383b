#pragma once
// MainWindow, the main window: the first window created and the one whose closing ends the
// program. It keeps the link to the calculator open by itself (a 300 ms poll), shows
// one of three connection states, offers the folder for every transfer in a folder tree
// and runs the commands that start transfers of the PC's own (receive by wire, ROM
// load), the folder commands, the recent folders, help and the hidden log commands.
// The transfers reach it through IHostWindows.
//
// The class is long, so its definition is split by concern, one file each: MainWindow.cpp
// (start-up, shutdown, events, errors), MainWindowLayout.cpp (menus, tool bar, views),
// MainWindowConnection.cpp (poll, connection states, IHostWindows),
// MainWindowTransfers.cpp (receive by wire, ROM load, screen capture),
// MainWindowFolders.cpp (folder tree and list, recent folders) and MainWindowHelp.cpp
// (help, About, log). The declarations below are grouped the same way.
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include <QMainWindow>
#include <QPoint>

#include "mainwindow/ConnectionState.h"
#include "mainwindow/RecentFolders.h"
#include "mainwindow/ShellView.h"
#include "mainwindow/SingleInstance.h"
#include "mainwindow/UserDialogs.h"
#include "util/HostInterfaces.h"

class QAction;
class QComboBox;
class QFileSystemModel;
class QFrame;
class QLabel;
class QModelIndex;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;
class KermitServer;
class TSearchAnimation;
class WindowPlacement;
class TransferServer;

// Program-wide start-up flags: while StartingUp is set the poll does nothing; AboutShown
// makes the start-up About display happen once per process.
extern bool StartingUp;
extern bool AboutShown;

class MainWindow : public QMainWindow, public IHostWindows {
    Q_OBJECT
public:
    static constexpr int PollIntervalMs = 300;
    static constexpr uint32_t QuietRecheckMs = 5000;
    static constexpr int TreeDefaultWidth = 200;
    static constexpr const char* Caption = "QV T30s,T20s,T20+Calculator Connectivity Kit";
    // The hidden key sequence that reveals the log commands.
    static constexpr const char* LogKeys = "log";

    // FormCreate. endProcess is the last step of the shutdown (the program ends the
    // process there; the tests keep it running); it also ends a second instance.
    explicit MainWindow(std::function<void()> endProcess = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // A second instance: FormCreate stopped at once and the window must not be shown.
    bool Refused() const { return refused_; }
    void SetDialogs(std::unique_ptr<TUserDialogs> dialogs);
    TUserDialogs& Dialogs() { return *dialogs_; }
    TransferServer& Server() { return *server_; }
    int ConnState() const { return connState_; }
    bool TransferBusy() const { return transferBusy_; }
    const RecentSlots& RecentFolders() const { return recentFolders_; }
    QString PickedPath() const { return pickedPath_; }
    QString TreePath() const;
    // The folder tree's width (the splitter position), kept while the views are hidden.
    int TreeWidth() const;
    // Makes path the tree's selection (and so the transfer folder); raises CalvyxError
    // "Error setting path: ..." when it is not an existing folder.
    void SetTreePath(const QString& path);

    // The controls, named as the rest of the program knows them.
    QToolBar* ToolBar = nullptr;
    QToolButton* tbtnNewFolder = nullptr;
    QToolButton* tbtnScrnCapture = nullptr;
    QToolButton* tbtnRcve = nullptr;
    QToolButton* tbtnExit = nullptr;
    QLabel* connectionLabel = nullptr;
    QComboBox* connectionBox = nullptr;
    QPushButton* btnLog = nullptr;
    QAction* btnLogItem = nullptr; // shows and hides btnLog on the tool bar
    QFrame* promptPanel = nullptr;
    QLabel* lblPrompt = nullptr;
    QSplitter* folderSplitter = nullptr;
    TShellView* folderTree = nullptr;
    TShellView* fileList = nullptr;
    TSearchAnimation* searchAnimation = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* StatusPanel = nullptr; // the status bar's first panel
    QAction* mnuDelete = nullptr;
    QAction* mnuRename = nullptr;
    QAction* mnuNewFolder = nullptr;
    QAction* mnuCaptureScreen = nullptr;
    QAction* mnuRcveByWire = nullptr;
    QAction* mnuLogShow = nullptr;
    QAction* mnuMRUSeparator = nullptr;
    QAction* recentFolderItems[RecentSlotCount] = {}; // N1 .. N9
    QAction* mnuExit = nullptr;
    QAction* loadRom = nullptr;
    QAction* mnuContentsHelp = nullptr;
    QAction* mnuCommHelp = nullptr;
    QAction* mnuTroubleHelp = nullptr;
    QAction* mnuAbout = nullptr;
    WindowPlacement* windowPlacement = nullptr;
    QTimer* pollTimer = nullptr;
    QTimer* tmrAbout = nullptr;

    // ---- Connection and polling (MainWindowConnection.cpp)
    void Poll();
    void ConnectionChosen();
    void SetConnState(int state);
    // Derives the shown state from the selected port and the busy flags.
    void ShowConnState();
    void UpdateControls();
    void KermitActivity(KermitServer* sender);
    static bool ProbeUsbDevice(const std::string& name);
    void ShowServerStatus(const std::string& text);

    // ---- Transfers the PC starts (MainWindowTransfers.cpp)
    void DoRcveByWire(bool askFirst);
    void mnuRcveByWireClick() { DoRcveByWire(true); }
    void tbtnRcveClick() { DoRcveByWire(false); }
    void LoadRomClicked();
    void mnuCaptureScreenClick();
    void EnsureCaptureWindow();

    // ---- Folders and recent folders (MainWindowFolders.cpp)
    void FolderChanged();
    void mnuNewFolderClick();
    void mnuDeleteClick();
    void mnuRenameClick();
    void OpenRecentFolder(int slot); // slot 1..9
    bool DeleteToRecycleBin(const QString& path);
    void NormalizeRecent(bool enableItems);
    void AddRecentFolder(bool enableItems);

    // ---- Help, About and log (MainWindowHelp.cpp)
    void mnuContentsHelpClick();
    void mnuCommHelpClick();
    void ShowHelpTopic(int context);
    // The application's help handler: 13 keeps a pop-up position (x and y packed as two
    // signed 16-bit halves), 8 shows the context pop-up for the context in data.
    bool HelpRequest(int command, int data);
    void ShowContextPopup(const QPoint& point, int context);
    // F1 on the focused control, or on a highlighted menu item.
    void HelpKey();
    void mnuAboutClick();
    void tmrAboutTimer();
    void mnuLogShowClick();
    void FormKeyPress(QChar key);
    static int PackPoint(const QPoint& point);
    static QPoint UnpackPoint(int data);

    // ---- Start-up, shutdown and errors (MainWindow.cpp)
    void mnuExitClick();
    // Runs a handler and shows an error it raises the way the application shows them.
    void Guarded(const std::function<void()>& handler);

    // ---- IHostWindows: how the transfers reach the window (MainWindowConnection.cpp)
    void RequestScreenCapture() override;
    void SetTransferBusy(bool busy) override;
    bool InstructionsVisible() override;
    void FocusInstructions() override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    std::optional<std::string> ChooseFileToSend(const std::string& title, const std::string& initialPath) override;
    std::unique_ptr<IStatusDialog> CreateStatusDialog() override;
    void FocusMainWindow() override;

protected:
    // The Qt events (MainWindow.cpp).
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Keeps the Kermit server and the presence re-check off the link while a command
    // of the window uses it.
    class LinkReservation;

    // MainWindow.cpp
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormClose();
    void ApplyPortParameter();
    void LoadSettings();
    void ReportError(const std::string& message);
    // MainWindowLayout.cpp
    void BuildMenus();
    void BuildToolBar();
    void BuildViews();
    void FormResize();
    // MainWindowConnection.cpp
    void FillConnectionBox();
    bool LinkReserved() const { return linkReservations_ > 0; }
    // MainWindowFolders.cpp
    void StartEditing(QTreeView* view, const QModelIndex& index);
    void FolderRenamed(const QString& folder);
    void ListPicked();
    QString PathOf(const QTreeView* view, const QModelIndex& index) const;

    std::function<void()> endProcess_;
    std::unique_ptr<TUserDialogs> dialogs_;
    TSingleInstance singleInstance_; // held while the window lives: a second start is refused
    std::unique_ptr<TransferServer> server_;
    QFileSystemModel* treeModel_ = nullptr;
    QFileSystemModel* listModel_ = nullptr;
    bool refused_ = false;
    bool transferBusy_ = false;
    bool kermitBusy_ = false; // transferBusy_ came from the Kermit server
    std::atomic<bool> captureRequested_{false};
    int connState_ = StateUnset;
    int logKeysTyped_ = 0; // how many keys of LogKeys were typed in a row so far
    QString pickedPath_; // the folder or file picked last, in the tree or the list
    int aboutStep_ = 0; // the start-up About display: 0 shows it, 1 closes it, then the timer stops
    RecentSlots recentFolders_;
    QString registryRoot_;
    int linkReservations_ = 0; // LinkReservation objects alive
    bool portErrorShown_ = false; // the poll shows a port error once per connection choice
    bool shown_ = false; // the first showEvent has run
    int treeWidth_ = TreeDefaultWidth; // see TreeWidth()
    QPoint popupPoint_; // where the next context pop-up goes (HelpRequest 13)
};

extern MainWindow* TheMainWindow;
