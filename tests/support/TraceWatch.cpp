// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/TraceWatch.h"

#include <algorithm>

#include "link/Trace.h"

TraceWatch::TraceWatch()
{
    SetTraceSink([this](const std::string& line) {
        {
            std::lock_guard lock(mutex_);
            lines_.push_back(line);
        }
        changed_.notify_all();
    });
}

TraceWatch::~TraceWatch() { SetTraceSink(nullptr); }

int TraceWatch::Count(const std::string& line) const
{
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count(lines_.begin(), lines_.end(), line));
}

bool TraceWatch::WaitFor(const std::string& line, int count, std::chrono::milliseconds limit)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, limit, [&] { return std::count(lines_.begin(), lines_.end(), line) >= count; });
}

std::vector<std::string> TraceWatch::StartingWith(const std::string& prefix) const
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> found;
    for (const auto& line : lines_)
        if (line.rfind(prefix, 0) == 0) found.push_back(line);
    return found;
}
