// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/RecentFolders.h"

void NormalizeRecentSlots(RecentSlots& recent)
{
    for (int i = 0; i < RecentSlotCount - 1; ++i)
        for (int j = RecentSlotCount - 1; j > i; --j)
            if (recent[j] == recent[i]) recent[j].clear();
    int next = 0;
    for (int i = 0; i < RecentSlotCount; ++i)
        if (!recent[i].isEmpty()) {
            QString folder = recent[i];
            recent[i].clear();
            recent[next++] = folder;
        }
}

void AddRecentFolderSlots(RecentSlots& recent, const QString& folder)
{
    for (auto& entry : recent)
        if (entry == folder) entry.clear();
    for (int j = RecentSlotCount - 1; j > 0; --j) recent[j] = recent[j - 1];
    recent[0] = folder;
    NormalizeRecentSlots(recent);
}

QString RecentCaption(int n, const QString& folder)
{
    QString escaped = folder;
    escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
    return QStringLiteral("&%1 ").arg(n) + escaped;
}
