// SPDX-License-Identifier: GPL-3.0-or-later
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
#include <optional>
#include <string>
#include <vector>

#include <QHash>
#include <QMainWindow>
#include <QPoint>
#include <QPointer>
#include <QSet>

#include "mainwindow/ConnectionState.h"
#include "mainwindow/RecentFolders.h"
#include "mainwindow/ShellView.h"
#include "mainwindow/SingleInstance.h"
#include "mainwindow/UserDialogs.h"
#include "services/CalculatorSession.h"
#include "util/ByteString.h"
#include "util/FileCopy.h"
#include "util/HostInterfaces.h"
#include "windows/ClassWindow.h"
#include "windows/ScreenCaptureWindow.h"

class QAction;
class QComboBox;
class QDockWidget;
class FolderWatch;
class QFileSystemModel;
class QFrame;
class QKeyEvent;
class QLabel;
class QMenu;
class QModelIndex;
class QPushButton;
class QSplitter;
class QTimer;
class QToolBar;
class QToolButton;
class AboutDialog;
class KermitServer;
class LogWindow;
class SearchAnimation;
class TransferHistory;
class TransferHistoryView;
class TransferStatusDialog;
class WindowPlacement;
class TransferServer;
struct ServerStatus;

class MainWindow : public QMainWindow, public IHostWindows {
    Q_OBJECT
public:
    // The poll's beat, and the session's look at the device. What the window shows
    // follows the session's events at once; the poll only catches what no event tells
    // (a device that comes back), so it may be slow: an idle window wakes once a second.
    static constexpr int PollIntervalMs = 1000;
    static constexpr uint32_t QuietRecheckMs = 5000;
    // A folder of the tree whose subfolders keep coming and going (a /tmp) has them
    // brought in at most every FolderUpdateEveryMs, and is listed again (for those that
    // went) at most every RelistEveryMs.
    static constexpr int FolderUpdateEveryMs = 2000;
    static constexpr int RelistEveryMs = 10000;
    static constexpr int TreeDefaultWidth = 200;
    static constexpr const char* Caption = QT_TRANSLATE_NOOP("MainWindow", "Calvyx — QV T20, T20+, T20s, T30s");
    // The hidden key sequence that reveals the log commands.
    static constexpr const char* LogKeys = "log";

    // StartUp. endProcess is the last step of the shutdown (the program ends the
    // process there; the tests keep it running); it also ends a second instance.
    explicit MainWindow(std::function<void()> endProcess = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // A second instance, or a start in a runtime folder that is not the user's own:
    // StartUp stopped at once and the window must not be shown.
    bool Refused() const { return refused_; }
    // Why the start was refused, with what to do about it; empty for a second instance
    // (which ends quietly). The program shows it and ends with a failure.
    const QString& StartRefusal() const { return startRefusal_; }
    void SetDialogs(std::unique_ptr<UserDialogs> dialogs);
    UserDialogs& Dialogs() { return *dialogs_; }
    // The session that serves the chosen calculator, and its transfers.
    CalculatorSession& Session() { return *session_; }
    TransferServer& Server();
    // The windows this window owns, each created when first needed: the log (it keeps
    // every line from the first on, shown or not), the About window, the status dialog
    // of the Kermit transfers and the receive by wire, and the screen capture window.
    LogWindow& Log();
    AboutDialog& About();
    TransferStatusDialog& StatusDialog();
    ScreenCaptureWindow* CaptureWindow() const { return captureWindow_; }
    // View > Class: on, the window lets its calculator go and the class view serves every
    // calculator found, each into an inbox under the folder; off (or the class view
    // closed), the window follows its chosen connection again.
    void ShowClassView(bool on);
    ClassWindow* ClassView() const { return classWindow_; }
    bool ClassMode() const { return classMode_; }
    void SetCalculatorFinder(std::function<std::vector<std::string>()> find) { findCalculators_ = std::move(find); }
    // The About display at the first activation; the tests and the benches skip it.
    void SkipStartupAbout() { startupAboutDone_ = true; }
    bool StartupAboutDone() const { return startupAboutDone_; }
    int ConnState() const { return connState_; }
    bool TransferBusy() const { return transferBusy_; }
    // A Kermit transfer has ended and the server has not yet reported itself idle (it
    // does so 4 s later): the calculator may send another file meanwhile.
    bool WaitingForCalculator() const { return waitingForCalculator_; }
    const RecentSlots& RecentFolders() const { return recentFolders_; }
    QString PickedPath() const { return pickedPath_; }
    // The connection the user chose ("QVxT0+", "COM1", a device path), as typed.
    const std::string& SelectedPort() const { return selectedPort_; }
    QString TreePath() const;
    // The folder tree's width (the splitter position), kept while the views are hidden.
    int TreeWidth() const;
    // Makes path the tree's selection (and so the transfer folder); raises CalvyxError
    // "Error setting path: ..." when it is not an existing folder.
    void SetTreePath(const QString& path);

    // The controls, named by what they are for. Their object names are the same words:
    // the help contexts are properties of the controls, not keyed by name, and the
    // window placement keeps no control of this window by name.
    // The tool bar, left to right (MainWindowLayout.cpp builds it).
    QToolBar* toolBar = nullptr;
    QToolButton* newFolderButton = nullptr;
    QToolButton* captureButton = nullptr;
    QToolButton* receiveButton = nullptr; // receives by wire without the instructions first
    QToolButton* exitButton = nullptr;
    QLabel* connectionLabel = nullptr;
    QComboBox* connectionBox = nullptr;
    QPushButton* logButton = nullptr;   // hidden until the hidden key sequence is typed
    QAction* logButtonAction = nullptr; // shows and hides logButton on the tool bar
    // The client area: the prompt (disconnected) or the folder views, and the status bar.
    QFrame* promptPanel = nullptr;
    QLabel* promptLabel = nullptr;
    QSplitter* folderSplitter = nullptr;
    ShellView* folderTree = nullptr;
    ShellView* fileList = nullptr;
    SearchAnimation* searchAnimation = nullptr;
    QLabel* statusPanel = nullptr; // the status bar's first panel
    // At the status bar's right end while the window waits after a Kermit transfer: the
    // calculator may send another file, so the link stays the Kermit server's.
    QLabel* waitPanel = nullptr;
    // The File menu.
    QAction* deleteAction = nullptr;
    QAction* renameAction = nullptr;
    QAction* newFolderAction = nullptr;
    QAction* captureAction = nullptr;
    QAction* receiveAction = nullptr;          // receives by wire after the instructions
    QAction* logAction = nullptr;              // hidden like logButton
    QAction* recentFoldersSeparator = nullptr; // shown while a recent folder is
    QAction* recentFolderItems[RecentSlotCount] = {};
    QAction* exitAction = nullptr;
    // The ROM menu.
    QAction* classAction = nullptr; // View > Class: the class view instead of one calculator
    QAction* sendRomAction = nullptr;
    // The Connection menu: the connection box's choices, the current one checked (filled
    // when it opens).
    QMenu* connectionMenu = nullptr;
    // The View menu.
    QAction* transfersAction = nullptr; // shows and hides the transfers dock
    QAction* viewLogAction = nullptr;   // opens the log
    // The transfers of this and earlier runs, in a dock below the folders: shown from
    // the View menu, and by the first transfer of a run.
    QDockWidget* transfersDock = nullptr;
    TransferHistoryView* transfersView = nullptr;
    TransferHistory& History() { return *history_; }
    // The Help menu.
    QAction* helpContentsAction = nullptr;
    QAction* communicationsHelpAction = nullptr;
    QAction* troubleShootingAction = nullptr;  // opens the contents, like helpContentsAction
    QAction* connectionReportAction = nullptr; // why the calculator cannot be opened
    QAction* aboutAction = nullptr;
    // Not seen.
    WindowPlacement* windowPlacement = nullptr;
    QTimer* pollTimer = nullptr;
    QTimer* aboutTimer = nullptr; // steps the About display at start-up

    // ---- Connection and polling (MainWindowConnection.cpp)
    void Poll();
    void ConnectionChosen();
    void SetConnState(int state);
    // Derives the shown state from the selected port and the busy flags.
    void ShowConnState();
    void UpdateControls();
    void KermitActivity(bool busy);
    // What the session says of its link: a hung-up line, a port that cannot be opened.
    void LinkChanged(const LinkEvent& event);
    void ShowServerStatus(const ServerStatus& status);
    // A second start of the program asked for this window: it comes to the front, takes
    // the connection the request names (unless a transfer runs), and says so in the
    // status bar and the log.
    void AnotherStart(const SingleInstance::Request& request);
    // A request from a second start, as the socket delivers it. It is answered by
    // AnotherStart at once, unless a dialog is open (a message box, a file dialog, a
    // menu) or another request is being answered: then it waits, merged with those that
    // come meanwhile (the last connection named wins), and is answered once that has
    // ended. So no request ever opens a dialog inside another.
    void SecondStartArrived(const SingleInstance::Request& request);
    // The merged request that waits, if any.
    const std::optional<SingleInstance::Request>& WaitingStart() const { return waitingStart_; }

    // ---- Transfers the PC starts (MainWindowTransfers.cpp)
    // Receives one object by wire and asks where to save it. The menu command shows the
    // instructions first (askFirst); the tool bar button does not.
    void ReceiveByWire(bool askFirst);
    // Asks for a ROM file, shows the set-up instructions and sends it to the calculator.
    void SendRom();
    // Shows the screen capture window and reads the calculator's screen into it.
    void ShowCaptureWindow();
    void EnsureCaptureWindow();
    // Shows the capture window with the link for itself until it is closed (prefix: the
    // part of a pushed screen already read), then gives the link back to the Kermit server.
    void RunCaptureWindow(const ByteString& prefix);

    // ---- Folders and recent folders (MainWindowFolders.cpp)
    void FolderChanged();
    // The tree's folder goes up to its parent (Backspace, Alt+Up in the folder pane).
    void OpenParentFolder();
    // Creates a folder under the tree's folder and starts editing its name.
    void NewFolder();
    // Delete and Rename act on what was picked last: the tree's folder or an item of the
    // list (PickedPath()).
    void DeletePicked();
    void RenamePicked();
    void OpenRecentFolder(int slot); // slot 1..9
    // Moves path to the trash after asking; false when it stays where it is.
    bool MoveToTrash(const QString& path);
    void NormalizeRecent(bool enableItems);
    void AddRecentFolder(bool enableItems);
    // A folder item of the list opened (double-click or Enter): it becomes the tree's
    // folder, and so the transfer folder. Files are left alone.
    void OpenListItem(const QModelIndex& index);
    // Makes path the tree's folder as the user's choice: it goes on the recent list too
    // (a folder opened from the list or its menu, the parent folder, a click in the tree;
    // not the folders the arrow keys pass).
    void OpenFolder(const QString& path);
    void AddToRecent(const QString& folder);
    // The context menu of a view for what is at pos (viewport coordinates): the item
    // there is picked first; beside the items, the folder the list shows. The menu's
    // actions are named openFolderItem, renameItem, deleteItem, newFolderItem,
    // copyPathItem and showInFileManagerItem; the caller owns the menu.
    QMenu* FolderMenu(ShellView* view, const QPoint& pos);
    // Shows that menu at pos and runs what is chosen (the right button, the Menu key,
    // Shift+F10).
    void ShowFolderMenu(ShellView* view, const QPoint& pos);
    // Copies files (dropped from the desktop) into folder. A file of the same name is
    // replaced only after asking; folders and what cannot be read are reported. The
    // copies run in a thread of their own behind a progress dialog with Cancel; the
    // status bar says how many were copied.
    void CopyFilesInto(const QStringList& files, const QString& folder);
    // True while copies of dropped files run.
    bool CopyRunning() const { return !copies_.empty(); }
    // Called in the copying thread after each chunk of a dropped file (the tests hold
    // the copy there); set before the drop.
    ChunkCopied copyChunkCopied;

    // ---- Help, About and log (MainWindowHelp.cpp)
    void ShowHelpContents();
    void ShowCommunicationsHelp();
    void ShowHelpTopic(int context);
    // The help for a context at a screen point: a topic for the large contexts, the
    // book's pop-up text for the small ones, and for context 1 the focused control's
    // hint (or the contents when it has none).
    void ShowContextPopup(const QPoint& point, int context);
    // F1 on the focused control, or on a highlighted menu item.
    void HelpKey();
    void ShowAbout();
    // One step of the About display at start-up: shown, closed, timer stopped.
    void AboutTimerTick();
    void ShowLog();
    // A key typed in the window: the third of the LogKeys in a row reveals the log
    // commands and shows the log.
    void LogKeyTyped(QChar key);

    // ---- Start-up, shutdown and errors (MainWindow.cpp)
    // Closes the window; while a transfer runs it asks first, and stops the transfer.
    void Exit();
    // The same when nobody can answer (the session ends the program by a signal): a
    // running transfer is stopped without the question.
    void ExitWithoutAsking();
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
    // The constructor's work.
    void StartUp();
    // The first show: the poll begins to work.
    void FirstShown();
    // At the first activation of the window: the About display starts.
    void ShowAboutOnce();
    // The window closes: the link, the settings, the other windows.
    void ShutDown();
    void ApplyPortParameter();
    void LoadSettings();
    void ReportError(const std::string& message);
    // The end of a transfer the user started: a log line and a message.
    void TellOutcome(const QString& text, const QString& caption, bool failure);
    // A ROM load that failed, or a file that cannot be a ROM: the path and why, in the
    // log and a message.
    void TellRomFailure(const std::string& path, const std::string& why);
    void AppendToLog(const QString& text);
    // Shows a transfer's event in the log (the status dialog shows it itself).
    void LogTransferEvent(const TransferEvent& event);
    // Hands a transfer's event to the history (the first start shows its dock); true
    // when the event ended a transfer and so added a row.
    bool RecordTransfer(const TransferEvent& event);
    // Closes the window once a command's transfer stopped for the exit has returned.
    void CloseIfExitPending();
    // MainWindowLayout.cpp
    void BuildMenus();
    void BuildToolBar();
    void BuildViews();
    // The transfers dock and its history, read from the user's state folder.
    void BuildTransfersView();
    // Keeps the prompt at the left and the animation centred under it.
    void PlacePrompt();
    // MainWindowConnection.cpp
    void FillConnectionBox();
    void FillConnectionMenu();
    // Answers the waiting second-start request when nothing stands in its way.
    void AnswerWaitingStart();
    bool LinkReserved() const { return linkReservations_ > 0; }
    // In class mode a command of the one calculator says why it does nothing; true then.
    bool RefusedInClassMode();
    // A command that needs the link while a transfer has it, or while the window waits
    // for the calculator's next file, says so in the status bar and does nothing; true
    // then. The folder pane, the menus, the log and the help stay usable meanwhile.
    bool RefusedWhileLinkBusy();
    // The wait after a Kermit transfer begins (on) or ends.
    void SetWaitingForCalculator(bool on);
    // A transfer of the session's began or ended: the wait after it follows.
    void FollowTransfer(const TransferEvent& event);

    // MainWindowFolders.cpp
    void StartEditing(QTreeView* view, const QModelIndex& index);
    void FolderRenamed(const QString& folder);
    // The folder tree is not watched by its model (that would watch every folder from the
    // root down, files and all): the folders whose subfolders are on screen (the
    // expanded ones) are watched for subfolders only, and a change is brought in here.
    void WatchShownFolders();
    void ShownFolderChanged(const QString& folder);
    void RelistTreeFolder(const QString& folder);
    void ListPicked();
    // A key typed in the list: Enter opens, F2 renames, Delete deletes the picked item;
    // true when the list itself should see it (the keys that move its current item).
    bool ListKey(const QKeyEvent& key);
    void ListItemRenamed(const QString& folder, const QString& oldName, const QString& newName);
    QString PathOf(const QTreeView* view, const QModelIndex& index) const;
    // The copies of CopyFilesInto: started in their thread, reported once they ended,
    // and at the end of the window cancelled and waited for.
    void StartCopy(std::vector<FileCopyBatch::Item> items, const QString& folder, const QStringList& problems);
    void CopyEnded(FileCopyBatch* batch, const QString& folder, QStringList problems);
    void StopCopies();

    std::function<void()> endProcess_;
    std::unique_ptr<UserDialogs> dialogs_;
    SingleInstance singleInstance_; // held while the window lives: a second start is refused
    std::unique_ptr<CalculatorSession> session_;
    // Taken when the calculator pushed its screen, until the capture window has the link.
    std::unique_ptr<CalculatorSession::LinkLoan> captureHold_;
    // Top-level windows of their own, deleted with this one (see the accessors).
    QPointer<LogWindow> log_;
    QPointer<AboutDialog> about_;
    QPointer<TransferStatusDialog> statusDialog_;
    QPointer<ScreenCaptureWindow> captureWindow_; // a child of this window
    QPointer<ClassWindow> classWindow_;           // the class view, made when first asked for
    bool classMode_ = false;                      // the class view serves the calculators
    // How the class view finds the calculators (FindCalculators unless a test says).
    std::function<std::vector<std::string>()> findCalculators_;
    bool startingUp_ = false;       // until the first show the poll does nothing
    bool startupAboutDone_ = false; // the About display at the first activation has begun
    QFileSystemModel* treeModel_ = nullptr;
    QFileSystemModel* listModel_ = nullptr;
    FolderWatch* folderWatch_ = nullptr; // the expanded folders of the tree
    // When each folder of the tree was last brought up to date, and listed again for a
    // subfolder that went; the folders waiting for their turn.
    QHash<QString, qint64> updated_;
    QHash<QString, qint64> relisted_;
    QSet<QString> updateDue_;
    QSet<QString> relistDue_;
    bool refused_ = false;
    QString startRefusal_;
    std::optional<SingleInstance::Request> waitingStart_; // see SecondStartArrived
    bool answeringStart_ = false;                         // AnotherStart runs (and may show a dialog)
    QPointer<QObject> startWaitsFor_;                     // watches the dialog the waiting request waits for
    TransferHistory* history_ = nullptr;
    bool transfersShown_ = false; // the dock was shown for a transfer in this run
    bool historyErrorLogged_ = false;
    bool transferBusy_ = false;
    bool kermitBusy_ = false;           // transferBusy_ came from the Kermit server
    bool waitingForCalculator_ = false; // see WaitingForCalculator()
    bool exitAfterTransfer_ = false;    // the user chose to stop the running transfer and exit
    bool stopWithoutAsking_ = false;    // see ExitWithoutAsking
    std::atomic<bool> captureRequested_{false};
    int connState_ = StateUnset;
    int logKeysTyped_ = 0; // how many keys of LogKeys were typed in a row so far
    QString pickedPath_;   // the folder or file picked last, in the tree or the list
    int aboutStep_ = 0;    // the start-up About display: 0 shows it, 1 closes it, then the timer stops
    RecentSlots recentFolders_;
    int linkReservations_ = 0;                           // LinkReservation objects alive
    std::vector<std::unique_ptr<FileCopyBatch>> copies_; // running copies of dropped files
    bool portErrorShown_ = false;                        // a port error is shown once per connection choice
    bool following_ = false;                             // the session follows the chosen port (from the first poll on)
    bool terminalHungUp_ = false;                        // the chosen pseudo-terminal hung up: it stays closed
    bool shown_ = false;                                 // the first showEvent has run
    int treeWidth_ = TreeDefaultWidth;                   // see TreeWidth()
    std::string selectedPort_ = "QVxT0+";
};
