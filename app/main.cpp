// The desktop program: chooses the help file by language, creates the long-lived
// windows in their order (the main window first: it may end a second instance at once),
// marks the context-help hints, routes help requests to the main window and runs the
// message loop.
#include <csignal>
#include <cstdio>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPixmap>
#include <QSaveFile>
#include <QScreen>
#include <QTimer>

#include "mainwindow/ApplicationWindows.h"
#include "mainwindow/CommandLine.h"
#include "mainwindow/HelpContext.h"
#include "mainwindow/HelpFiles.h"
#include "mainwindow/MainWindow.h"
#include "util/StopSignal.h"

namespace {

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

// What the screen shows of the program's visible windows, or the main window alone where
// the platform cannot grab the screen.
QPixmap Screenshot()
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
    return TheMainWindow->grab();
}

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Calvyx"));
    SetRawCommandLine(BuildCommandLine(QApplication::arguments()));

    SetApplicationHelpFile(ChooseHelpFile(UserDefaultLangId(), UserDefaultLcid()));

    TheMainWindow = new MainWindow(&EndProcess);
    if (TheMainWindow->Refused()) return 0;
    CreateApplicationWindows();

    MarkApplicationHelpHints();
    app.installEventFilter(TheMainWindow);

    // SIGTERM, SIGINT and SIGHUP close the main window as the Exit command does, so the
    // settings are saved.
    StopSignal stopSignal({SIGTERM, SIGINT, SIGHUP});
    stopSignal.OnSignal(TheMainWindow, [] {
        if (TheMainWindow) TheMainWindow->close();
    });
    FirstPaintProbe probe(clock);
    if (qEnvironmentVariableIsSet("CALVYX_EXIT_AFTER_SHOW")) TheMainWindow->installEventFilter(&probe);
    TheMainWindow->show();
    // For the demo and the documentation: a picture of the program's windows, refreshed
    // every second into the named file while the program runs.
    QTimer screenshot;
    if (const QString file = qEnvironmentVariable("CALVYX_SCREENSHOT"); !file.isEmpty()) {
        // Written aside and renamed: a reader never sees half a picture.
        QObject::connect(&screenshot, &QTimer::timeout, TheMainWindow, [file] {
            QSaveFile out(file);
            if (out.open(QIODevice::WriteOnly) && Screenshot().save(&out, "PNG")) out.commit();
        });
        screenshot.start(1000);
    }
    const int code = app.exec();
    std::fflush(nullptr);
    ::_exit(code);
}
