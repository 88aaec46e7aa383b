// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What another local user leaves behind, for the tests of the per-user folders: files
// handed to a uid that no account uses (that needs root, which CI runs the tests as),
// and environment variables that point the program somewhere else for a while.
#include <cstdlib>
#include <optional>
#include <string>
#include <sys/types.h>
#include <unistd.h>

#include <gtest/gtest.h>

inline constexpr uid_t OtherUid = 12345;

// Skips the test when files cannot be given to another user.
#define SKIP_UNLESS_ROOT()                                                                                                       \
    do {                                                                                                                         \
        if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root (CI runs the tests as root)";            \
    } while (false)

// Gives path (not what a link points to) to OtherUid.
inline bool GiveToOtherUser(const std::string& path) { return ::lchown(path.c_str(), OtherUid, static_cast<gid_t>(-1)) == 0; }

// Sets (or, with nullopt, removes) an environment variable while the object lives.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name)
    {
        if (const char* old = std::getenv(name)) previous_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (previous_)
            ::setenv(name_.c_str(), previous_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};
