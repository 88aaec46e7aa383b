// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The name the folder commands choose.
#include <QString>

// The path of the folder New Folder creates in parent: "New Folder", then
// "New Folder (2)", "New Folder (3)" ... the first name that no folder or file holds.
// Trailing separators of parent are dropped; empty when parent is empty.
QString NextNewFolderPath(const QString& parent);
