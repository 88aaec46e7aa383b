// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program: answers --help and --version without a window, chooses the help
// file by language, creates the main window (it may end a second instance at once; it
// creates the other windows it needs itself), marks the context-help hints, routes
// help requests to the main window and runs the message loop.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPointer>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScreen>
#include <QTimer>

#include "mainwindow/CommandLine.h"
#include "mainwindow/HelpFiles.h"
#include "mainwindow/HelpSystem.h"
#include "mainwindow/MainWindow.h"
#include "util/StopSignal.h"
#include "util/Version.h"
#include "windows/ErrorBox.h"

namespace {

constexpr const char* UsageText =
    "usage: calvyx [CONNECTION]\n"
    "\n"
    "The Calvyx desktop window: keeps the calculator's files in a folder on this PC,\n"
    "receives objects by wire, captures the calculator's screen and loads ROMs.\n"
    "\n"
    "CONNECTION  QVxT0+ (the calculator's USB link, the default), COMn (COM1 is\n"
    "            /dev/ttyS0) or a device path such as /dev/ttyUSB0\n"
    "\n"
    "options:\n"
    "  -h, --help  print this text and end\n"
    "  --version   print the version and end\n"
    "\n"
    "Help > Contents and Index in the window opens the user's guide; 'man calvyx'\n"
    "lists the environment variables the program reads.\n";

// --help and --version as the only parameter: answered on stdout before any window
// or display is needed. Returns the exit code, or -1 to start the window.
int AnswerInfoOption(int argc, char** argv)
{
    if (argc != 2) return -1;
    const char* option = argv[1];
    if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
        std::fputs(UsageText, stdout);
        return 0;
    }
    if (std::strcmp(option, "--version") == 0) {
        std::printf("calvyx %s\n", GetVersionNumber().c_str());
        return 0;
    }
    return -1;
}

// The start-up lock's folder or the lock itself is not the user's own.
constexpr int ExitStartRefused = 1;

// The process ends from the main window's close handler, at once and with exit code 0:
// the transfer server and the windows are not torn down.
[[noreturn]] void EndProcess()
{
    std::fflush(nullptr);
    ::_exit(0);
}

// For the start-up bench: reports the time to the main window's first paint and ends.
class FirstPaintProbe : public QObject {
public:
    explicit FirstPaintProbe(const QElapsedTimer& clock) : clock_(clock) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            std::printf("calvyx: first paint after %lld ms\n", static_cast<long long>(clock_.elapsed()));
            EndProcess();
        }
        return false;
    }

private:
    const QElapsedTimer& clock_;
};

// A menu's or command's text as the user reads it: "&Datei" and "文件(&F)" read "Datei"
// and "文件".
QString ShownText(QString text)
{
    // A shortcut shown beside the command ("Contents and Index\tF1") is not part of its name.
    static const QRegularExpression mnemonic(QStringLiteral("\\(&.\\)"));
    return text.section(u'\t', 0, 0).remove(mnemonic).remove(u'&');
}

// The command "Menu>Command" of the main window's menu bar, named as the menus show it.
QAction* MenuCommand(MainWindow& window, const QString& path)
{
    const QStringList parts = path.split(u'>');
    if (parts.size() != 2) return nullptr;
    for (QAction* menu : window.menuBar()->actions())
        if (menu->menu() && ShownText(menu->text()) == parts[0])
            for (QAction* command : menu->menu()->actions())
                if (ShownText(command->text()) == parts[1]) return command;
    return nullptr;
}

// For the install and language checks: once the main window shows, prints the menu
// bar's menus, opens the help (CALVYX_EXIT_AFTER_HELP=1: the contents; =Menu>Command:
// that command of the menus, as a user would choose it), prints where the page came
// from, its title, its length and the sizes of the windows' icon, and ends: 0 when the
// page has text, 1 when it came up empty or the command does not exist.
void OpenHelpAndEnd(MainWindow& window)
{
    QStringList menus;
    for (const QAction* menu : window.menuBar()->actions()) menus << ShownText(menu->text());
    std::printf("calvyx: menus %s\n", qPrintable(menus.join(u'|')));
    const QString path = qEnvironmentVariable("CALVYX_EXIT_AFTER_HELP");
    if (path == QLatin1String("1")) {
        Help().ShowContents();
    } else if (QAction* command = MenuCommand(window, path)) {
        command->trigger();
    } else {
        std::printf("calvyx: no menu command \"%s\"\n", qPrintable(path));
        std::fflush(nullptr);
        ::_exit(1);
    }
    const QTextBrowser* page = Help().Window();
    const QString text = page ? page->toPlainText() : QString();
    QStringList sizes;
    for (const QSize& size : QApplication::windowIcon().availableSizes()) sizes << QString::number(size.width());
    std::printf("calvyx: help %s \"%s\" %lld characters, icon %s\n", page ? qPrintable(page->source().toString()) : "(no window)",
                page ? qPrintable(page->documentTitle()) : "", static_cast<long long>(text.size()),
                sizes.isEmpty() ? "none" : qPrintable(sizes.join(QLatin1Char(','))));
    std::fflush(nullptr);
    ::_exit(text.trimmed().isEmpty() ? 1 : 0);
}

// What the screen shows of the program's visible windows, or the main window alone where
// the platform cannot grab the screen.
QPixmap Screenshot(MainWindow& mainWindow)
{
    QRect area;
    for (const QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && (window->windowType() == Qt::Window || window->windowType() == Qt::Dialog)) {
            area = area.united(window->frameGeometry());
        }
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QPixmap whole = screen->grabWindow(0);
        if (!whole.isNull()) return whole.copy(area);
    }
    return mainWindow.grab();
}

// The application icon at each size rendered from data/icons (resources of this program).
QIcon ApplicationIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        // Loaded here, so the icon lists only the sizes that are really built in.
        const QPixmap pixmap(QStringLiteral(":/icons/%1/org.calvyx.Calvyx.png").arg(size));
        if (!pixmap.isNull()) icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

int main(int argc, char** argv)
{
    if (const int code = AnswerInfoOption(argc, argv); code >= 0) return code;
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    // No application display name: the window system would add it to every title, and
    // the main window's title begins with the program's name already.
    // Every window shows the application icon (built in, like the help books); the
    // desktop file names the same icon for the launcher.
    QApplication::setDesktopFileName(QStringLiteral("org.calvyx.Calvyx"));
    QApplication::setWindowIcon(ApplicationIcon());
    SetProgramArguments(QApplication::arguments());

    // The help book and the windows in the user's language, chosen by one rule.
    StartInLanguage(UserInterfaceLanguage(), QLocale::system());

    // Lives until the process ends (EndProcess ends it from the window's close).
    auto* window = new MainWindow(&EndProcess);
    if (window->Refused()) {
        // A second start ends quietly; a refused start tells why (on standard error
        // already) and fails, with a box as well where somebody can see one.
        const QString why = window->StartRefusal();
        if (why.isEmpty()) return 0;
        const QString platform = QGuiApplication::platformName();
        if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) ShowApplicationError(why);
        return ExitStartRefused;
    }

    app.installEventFilter(window);

    // SIGTERM, SIGINT and SIGHUP close the main window as the Exit command does, so the
    // settings are saved; nobody is there to answer a question, so a running transfer
    // is stopped without one.
    StopSignal stopSignal({SIGTERM, SIGINT, SIGHUP});
    const QPointer<MainWindow> watched(window);
    stopSignal.OnSignal(window, [watched] {
        if (watched) watched->ExitWithoutAsking();
    });
    FirstPaintProbe probe(clock);
    if (qEnvironmentVariableIsSet("CALVYX_EXIT_AFTER_SHOW")) window->installEventFilter(&probe);
    window->show();
    if (qEnvironmentVariableIsSet("CALVYX_EXIT_AFTER_HELP")) QTimer::singleShot(0, window, [window] { OpenHelpAndEnd(*window); });
    // For the demo and the documentation: a picture of the program's windows, refreshed
    // every second into the named file while the program runs.
    QTimer screenshot;
    if (const QString file = qEnvironmentVariable("CALVYX_SCREENSHOT"); !file.isEmpty()) {
        // Written aside and renamed: a reader never sees half a picture.
        QObject::connect(&screenshot, &QTimer::timeout, window, [file, window] {
            QSaveFile out(file);
            if (out.open(QIODevice::WriteOnly) && Screenshot(*window).save(&out, "PNG")) out.commit();
        });
        screenshot.start(1000);
    }
    const int code = app.exec();
    std::fflush(nullptr);
    ::_exit(code);
}
