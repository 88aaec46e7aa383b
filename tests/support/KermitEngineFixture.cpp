// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/KermitEngineFixture.h"

#include <QDir>

#include <random>
#include <stdexcept>

#include "link/Link.h"
#include "tests/support/Serving.h"
#include "util/MainThread.h"
#include "util/TransferText.h"

void KermitEngineTest::Connect(Wire wire)
{
    StopEngine();
    link.Close();
    port.reset();
    // A failure here throws: the test stops wherever it called Connect (an assertion
    // would only leave this function, and the test would go on without a link).
    if (!folder.isValid() || !deviceRoot.isValid()) throw std::runtime_error("no temporary folder for the engine test");
    if (wire == Wire::Usb) {
        qputenv("CALVYX_DEVICE_ROOT", deviceRoot.path().toLocal8Bit());
        port = sim::CreateUsbDevice(deviceRoot.path().toStdString());
    } else {
        port = sim::CreatePtyPort();
    }
    if (!port) throw std::runtime_error("no virtual calculator port");
    link.Open(port->ProgramPortName(), LinkBaud);
    StartEngine();
}

void KermitEngineTest::StartEngine()
{
    KermitServer::Setup setup;
    setup.folder = folder.path().toStdString();
    setup.events = [this](const TransferEvent& event) {
        RunInMainThread([&] {
            events.push_back(event);
            ShowOnStatusDialog(windows.dialog, event);
        });
    };
    setup.chooseFile = [this](const std::string& title, const std::string& initialPath) {
        std::optional<std::string> chosen;
        RunInMainThread([&] { chosen = windows.host.ChooseFileToSend(title, initialPath); });
        return chosen;
    };
    setup.screenPushed = [this] { windows.host.RequestScreenCapture(); };
    engine = std::make_unique<KermitServer>(LinkLease(link), std::move(setup));
    windows.dialog.OnCancel = [this] {
        if (engine) engine->CancelTransfer();
    };
}

void KermitEngineTest::StopEngine()
{
    if (!engine) return;
    engine->Stop();
    engine.reset();
}

void KermitEngineTest::TearDown()
{
    StopEngine();
    link.Close();
    port.reset();
}

bool KermitEngineTest::Calculator(const std::function<void()>& script, int limitMs)
{
    return RunWhileServing(script, limitMs, [this] { engine->Stop(); });
}

std::string KermitEngineTest::FolderPath(const std::string& name) const
{
    return folder.filePath(QString::fromStdString(name)).toStdString();
}

QStringList KermitEngineTest::FolderEntries() const
{
    return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

ByteString AllByteValues(std::size_t n, uint32_t seed)
{
    ByteString s(n, '\0');
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i < 256 ? i : rng() & 0xFF);
    std::shuffle(s.begin(), s.end(), rng);
    return s;
}
