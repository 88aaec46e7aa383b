// The desktop program: chooses the help file by language, creates the long-lived
// windows in their order (the main window first: it may end a second instance at once),
// marks the context-help hints, routes help requests to the main window and runs the
// message loop.
#include <cstdio>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPixmap>
#include <QTimer>

#include "mainwindow/CommandLine.h"
#include "mainwindow/HelpContext.h"
#include "mainwindow/HelpFiles.h"
#include "mainwindow/QVDir.h"
#include "services/CmStatus.h"
#include "services/HostInterfaces.h"
#include "windows/About.h"
#include "windows/DownLd.h"
#include "windows/LogIt.h"

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

} // namespace

int main(int argc, char** argv)
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Calvyx"));
    SetRawCommandLine(BuildCommandLine(QApplication::arguments()));

    SetApplicationHelpFile(ChooseHelpFile(UserDefaultLangId(), UserDefaultLcid()));

    FQVDir = new TFQVDir(&EndProcess);
    if (FQVDir->Refused()) return 0;
    FDownLd = new TFDownLd;
    FLogForm = new TFLogForm;
    FCmStatus = new TFCmStatus;
    SetGlobalStatusDialog(FCmStatus);
    FAboutForm = new TFAboutForm;

    MarkApplicationHelpHints();
    app.installEventFilter(FQVDir);

    FirstPaintProbe probe(clock);
    if (qEnvironmentVariableIsSet("CALVYX_EXIT_AFTER_SHOW")) FQVDir->installEventFilter(&probe);
    FQVDir->show();
    // For the demo and the documentation: the main window's picture, refreshed every
    // second into the named file while the program runs.
    QTimer screenshot;
    if (const QString file = qEnvironmentVariable("CALVYX_SCREENSHOT"); !file.isEmpty()) {
        QObject::connect(&screenshot, &QTimer::timeout, FQVDir, [file] { FQVDir->grab().save(file); });
        screenshot.start(1000);
    }
    const int code = app.exec();
    std::fflush(nullptr);
    ::_exit(code);
}
