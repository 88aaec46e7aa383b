// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Link backend of a MemoryLine (see link/MemoryLine.h).
#include <memory>

#include "link/MemoryLine.h"

class LinkBackend;

std::unique_ptr<LinkBackend> OpenMemoryBackend(std::shared_ptr<MemoryLine> line);
