// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The diagnostic trace: takes its arguments and discards them, unless a test or a
// diagnostic build installs a sink.
#include <functional>
#include <string>

#include "util/ByteString.h"

void Trace(const std::string& text);
void TraceFrame(const std::string& text, const ByteString& data);
// Whether a sink takes the lines: a line that costs something to build is built only then.
bool Tracing();
// Traces what makeText returns, calling it only while a sink takes the lines.
template <class MakeText>
void TraceWith(MakeText&& makeText)
{
    if (Tracing()) Trace(makeText());
}
using TraceSink = std::function<void(const std::string&)>;
void SetTraceSink(TraceSink sink);
