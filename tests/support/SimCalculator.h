// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The virtual calculator's side of a test, run in a thread of its own: it gives up
// quickly, so that a PC that does not answer fails the test in seconds rather than
// minutes, and every wait on it is bounded by the caller.
#include <chrono>
#include <future>
#include <string>

#include <QFile>
#include <QString>

#include "tools/sim/KermitRole.h"
#include "tools/sim/SimPort.h"
#include "util/ByteString.h"

inline constexpr sim::KermitOptions Impatient{80, 1000, 3, 0, false};

// The calculator pushes a file; the result once the push is over.
inline std::future<sim::KermitResult> Push(sim::SimPort& port, const std::string& name, const ByteString& data)
{
    return std::async(std::launch::async,
                      [&port, name, data] { return sim::KermitCalculator(port, Impatient).PushFile(name, data); });
}

// The calculator fetches a file from the PC's folder.
inline std::future<sim::KermitResult> Fetch(sim::SimPort& port, const std::string& name)
{
    return std::async(std::launch::async, [&port, name] { return sim::KermitCalculator(port, Impatient).FetchFile(name); });
}

// Whether the calculator's side has ended (any role's result).
template <class Result>
bool Ready(const std::future<Result>& f)
{
    return f.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

// A file's bytes, or "(missing)" so that a comparison shows what went wrong.
inline ByteString ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return "(missing)";
    return file.readAll().toStdString();
}
