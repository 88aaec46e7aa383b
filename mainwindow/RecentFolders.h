// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The nine recent transfer folders of the File menu, entry 1 (index 0) the most recent.
// Folders compare as exact strings; an empty string is an empty entry.
#include <array>

#include <QString>

inline constexpr int RecentSlotCount = 9;
// Indexed by an int slot position (0 .. RecentSlotCount - 1), as the menus count them.
struct RecentSlots : std::array<QString, RecentSlotCount> {
    QString& operator[](int i) { return std::array<QString, RecentSlotCount>::operator[](static_cast<std::size_t>(i)); }
    const QString& operator[](int i) const
    {
        return std::array<QString, RecentSlotCount>::operator[](static_cast<std::size_t>(i));
    }
};

// Removes later duplicates (the first occurrence stays) and moves the folders up,
// keeping their order, so that the empty recent come last.
void NormalizeRecentSlots(RecentSlots& recent);
// A transfer into folder starts: its other entries go, the list shifts down by one
// (dropping entry 9 even when a entry was freed), and folder takes entry 1.
void AddRecentFolderSlots(RecentSlots& recent, const QString& folder);

// The menu caption of entry n (1-based): "&n " followed by the folder, whose own
// ampersands are doubled so that they show as typed.
QString RecentCaption(int n, const QString& folder);
