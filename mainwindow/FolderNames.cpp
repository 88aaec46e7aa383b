// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/FolderNames.h"

#include <QFileInfo>

#include "util/StringTable.h"

QString NextNewFolderPath(const QString& parent)
{
    QString base = parent;
    while (base.endsWith(QLatin1Char('/'))) base.chop(1);
    if (parent.isEmpty()) return {};
    const QString stem = QString::fromUtf8(Str::NewFolder);
    QString name = stem;
    for (int n = 2; QFileInfo::exists(base + QLatin1Char('/') + name); ++n) name = stem + QStringLiteral(" (%1)").arg(n);
    return base + QLatin1Char('/') + name;
}
