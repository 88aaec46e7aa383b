#pragma once
// One Calvyx per user session: a lock file named after the start-up mutex in the user's
// runtime folder. A lock left behind by a crashed instance is taken over.
#include <memory>

#include <QLockFile>
#include <QString>

inline constexpr const char* StartupMutexName = "calvyxstartupmutex";

class SingleInstance {
public:
    // True when this process now holds the lock; false when another instance holds it.
    bool Acquire();
    static QString LockPath();

private:
    std::unique_ptr<QLockFile> lock_;
};
