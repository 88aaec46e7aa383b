// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/SingleInstance.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#include "util/PrivateFolder.h"

namespace {

// A peer that sends nothing is not waited for longer than this.
constexpr int RequestWaitMs = 5000;

#ifndef _WIN32
QString UserName()
{
    const uid_t uid = ::geteuid();
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_name && *found->pw_name)
        return QFile::decodeName(found->pw_name);
    return QString::number(uid);
}
#endif

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace

SingleInstance::SingleInstance() = default;
SingleInstance::~SingleInstance() { Release(); }

void SingleInstance::Release()
{
    if (server_) {
        server_->close();
        // close() removes the socket file on this platform; said once more in case not.
        QLocalServer::removeServer(SocketPath());
        delete server_;
        server_ = nullptr;
    }
    // QLockFile removes its file as it unlocks; a lock this object never took is left.
    if (lock_) lock_->unlock();
    lock_.reset();
}

QString SingleInstance::Folder()
{
#ifdef _WIN32
    // The user's own AppData\Local\Calvyx; the socket is a named pipe of that name.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Calvyx");
#else
    const QString session = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!session.isEmpty()) return session;
    return QDir::tempPath() + QStringLiteral("/runtime-") + UserName();
#endif
}

QString SingleInstance::LockPath() { return Folder() + QLatin1Char('/') + QString::fromLatin1(StartupMutexName); }

QString SingleInstance::SocketPath() { return LockPath() + QStringLiteral(".socket"); }

SingleInstance::Outcome SingleInstance::Acquire(QString* refusal)
{
    if (lock_ && lock_->isLocked()) return Outcome::Acquired;
    const auto refuse = [refusal](const std::string& why) {
        if (refusal) *refusal = QString::fromStdString(why);
        return Outcome::Refused;
    };
    if (const std::string problem = MakePrivateFolder(Native(Folder())); !problem.empty()) return refuse(problem);
    lock_ = std::make_unique<QLockFile>(LockPath());
    // Only a lock whose owner process is gone counts as stale, however old it is.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0)) return Outcome::Acquired;
    // A lock naming this very process was left by an earlier one that had its number
    // (Wine numbers its processes alike after a restart, so does a fresh container).
    qint64 holder = 0;
    if (lock_->error() == QLockFile::LockFailedError && lock_->getLockInfo(&holder, nullptr, nullptr) &&
        holder == QCoreApplication::applicationPid() && lock_->removeStaleLockFile() && lock_->tryLock(0))
        return Outcome::Acquired;
    // Held, or in the way: another instance counts only when the lock is this user's.
    const std::string lockPath = Native(LockPath());
    if (const std::string problem = PrivateEntryProblem(lockPath); !problem.empty())
        return refuse("The start-up lock " + problem);
    if (lock_->error() == QLockFile::LockFailedError) return Outcome::AlreadyRunning;
    return refuse("The start-up lock " + lockPath + " cannot be made" +
                  (lock_->error() == QLockFile::PermissionError ? ": permission denied" : "") + "; check the folder " +
                  Native(Folder()));
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
                if (peer->bytesAvailable() > MaxLineBytes) peer->abort();
                return;
            }
            // Read one byte past the longest line: a line cut there has no line feed, and
            // is dropped whole rather than taken for the shorter request it begins with.
            const QByteArray line = peer->readLine(MaxLineBytes + 1);
            const auto request = line.endsWith('\n') ? Decode(line) : std::nullopt;
            peer->disconnectFromServer();
            // Answered from the event loop: the answer may ask the user something.
            if (request)
                QTimer::singleShot(0, this, [this, r = *request] {
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
