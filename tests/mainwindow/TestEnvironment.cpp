// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/mainwindow/TestEnvironment.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include <QDir>

#include "mainwindow/MainSettings.h"
#include "util/Settings.h"

namespace {

// Runs before main() creates the application, so QSettings and QStandardPaths see it.
const std::string& Root()
{
    static const std::string root = [] {
        char pattern[] = "/tmp/calvyx-mwtest-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        const std::string r = made ? made : "/tmp";
        for (const char* sub : {"config", "runtime", "data", "state", "devices"})
            QDir().mkpath(QString::fromStdString(r + "/" + sub));
        // The runtime folder and the device root must be private, or they are refused.
        for (const char* sub : {"/runtime", "/devices"})
            QFile::setPermissions(QString::fromStdString(r + sub),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        ::setenv("XDG_CONFIG_HOME", (r + "/config").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (r + "/runtime").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (r + "/data").c_str(), 1);
        ::setenv("XDG_STATE_HOME", (r + "/state").c_str(), 1);
        ::setenv("CALVYX_DEVICE_ROOT", (r + "/devices").c_str(), 1);
        // Removed at exit; the path is copied since the string may be gone by then.
        static char removeAtExit[512];
        std::snprintf(removeAtExit, sizeof removeAtExit, "%s", r.c_str());
        std::atexit([] { QDir(QString::fromUtf8(removeAtExit)).removeRecursively(); });
        return r;
    }();
    return root;
}
const bool rootReady = !Root().empty();

} // namespace

namespace mwtest {
QString EnvRoot() { return QString::fromStdString(Root()); }
void ClearSettings()
{
    (void)rootReady;
    auto reg = OpenSettings();
    reg->clear();
    reg->sync();
}
} // namespace mwtest
