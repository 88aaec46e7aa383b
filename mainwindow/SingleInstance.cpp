#include "mainwindow/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

namespace {

// A request is one short line; a peer that sends more, or nothing, is dropped.
constexpr qsizetype MaxRequestBytes = 4096;
constexpr int RequestWaitMs = 5000;

QString RuntimeFolder()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir;
}

} // namespace

SingleInstance::SingleInstance() = default;
SingleInstance::~SingleInstance() = default;

QString SingleInstance::LockPath() { return RuntimeFolder() + QLatin1Char('/') + QString::fromLatin1(StartupMutexName); }

QString SingleInstance::SocketPath() { return LockPath() + QStringLiteral(".socket"); }

bool SingleInstance::Acquire()
{
    if (lock_ && lock_->isLocked()) return true;
    lock_ = std::make_unique<QLockFile>(LockPath());
    // Only a lock whose owner process is gone counts as stale, however old it is.
    lock_->setStaleLockTime(0);
    return lock_->tryLock(0);
}

QByteArray SingleInstance::Encode(const Request& request)
{
    if (!request.port) return QByteArrayLiteral("show\n");
    return QByteArrayLiteral("port\t") + request.port->toUtf8() + '\n';
}

std::optional<SingleInstance::Request> SingleInstance::Decode(const QByteArray& line)
{
    QByteArray text = line;
    if (text.endsWith('\n')) text.chop(1);
    if (text == "show") return Request{};
    if (text.startsWith("port\t")) {
        const QString port = QString::fromUtf8(text.mid(5));
        if (port.isEmpty() || port.contains(QLatin1Char('\n'))) return std::nullopt;
        return Request{port};
    }
    return std::nullopt;
}

bool SingleInstance::Listen(RequestHandler handler, QString* error)
{
    handler_ = std::move(handler);
    if (server_) return true;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a crashed holder is in the way; the lock proves it is nobody's.
    QLocalServer::removeServer(SocketPath());
    if (!server_->listen(SocketPath())) {
        if (error) *error = server_->errorString();
        delete server_;
        server_ = nullptr;
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::Accept);
    return true;
}

void SingleInstance::Accept()
{
    while (QLocalSocket* peer = server_->nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        // A peer that never finishes its line is not waited for.
        QTimer::singleShot(RequestWaitMs, peer, [peer] { peer->abort(); });
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
            if (!peer->canReadLine()) {
                if (peer->bytesAvailable() > MaxRequestBytes) peer->abort();
                return;
            }
            const auto request = Decode(peer->readLine(MaxRequestBytes));
            peer->disconnectFromServer();
            // Answered from the event loop: the answer may ask the user something.
            if (request) QTimer::singleShot(0, this, [this, r = *request] {
                if (handler_) handler_(r);
            });
        });
    }
}

bool SingleInstance::NotifyRunning(const Request& request, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(SocketPath());
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(Encode(request));
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(timeoutMs);
    return true;
}
