// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One Calvyx per user session: a lock file named after the start-up mutex in the user's
// runtime folder. A lock left behind by a crashed instance is taken over.
//
// The runtime folder must be the user's own (util/PrivateFolder.h): in a folder that
// another user made or may write into, that user could hold the lock, so the window
// would never open, and take the connection names meant for it. Such a folder is
// refused, never swapped for a shared name.
//
// The instance that holds the lock also listens on a local socket beside it, so that a
// second start can bring the running window to the front (and hand it the connection
// named on its command line) instead of ending unseen. One message per connection, one
// line of UTF-8: "show" or "port<TAB>name".
#include <functional>
#include <memory>
#include <optional>

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;

inline constexpr const char* StartupMutexName = "calvyxstartupmutex";

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // What a second start asks: always to be shown, and the connection when it named one.
    struct Request {
        std::optional<QString> port;
    };
    using RequestHandler = std::function<void(const Request&)>;

    SingleInstance();
    // Releases (see Release).
    ~SingleInstance() override;

    enum class Outcome {
        Acquired,       // this process now holds the lock
        AlreadyRunning, // another instance of this user holds it
        Refused,        // the folder or the lock is not this user's own: see refusal
    };
    // Takes the lock. A refusal names the folder or the lock and what to do about it.
    Outcome Acquire(QString* refusal = nullptr);
    // $XDG_RUNTIME_DIR, or /tmp/runtime-<user> (made with mode 0700 when missing)
    // without one.
    static QString Folder();
    static QString LockPath();
    static QString SocketPath();

    // The lock holder: answers second starts with handler (main thread). False, with
    // the reason in error, when the socket cannot be made (the program runs without).
    bool Listen(RequestHandler handler, QString* error = nullptr);
    // The end of a clean exit (the program ends without tearing its windows down): the
    // socket stops listening and goes, then the lock is let go and its file removed, so
    // the runtime folder is left as it was found. Does nothing to what another
    // instance holds.
    void Release();

    // A second start: tells the running instance, waiting at most timeoutMs. False when
    // nobody answered (the holder is starting up, or is stuck).
    static bool NotifyRunning(const Request& request, int timeoutMs = 2000);

    // The line a request travels as, and back; nullopt for a line that is not a request.
    // A line is at most MaxLineBytes long with its line feed; a longer one is dropped
    // whole, never cut and read as a shorter request.
    static constexpr qsizetype MaxLineBytes = 4096;
    static QByteArray Encode(const Request& request);
    static std::optional<Request> Decode(const QByteArray& line);

private:
    void Accept();

    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
    RequestHandler handler_;
};
