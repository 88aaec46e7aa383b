// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/ScopedSettings.h"

#include <QSettings>
#include <QStandardPaths>

ScopedSettings::ScopedSettings()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    PublishSettingsProfile({});
}

ScopedSettings::~ScopedSettings()
{
    PublishSettingsProfile({});
    // Back to the process's own configuration folder.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

void ScopedSettings::Put(const QString& group, const QString& name, const QVariant& value)
{
    auto key = OpenSettings(group);
    key->setValue(name, value);
}

QVariant ScopedSettings::Get(const QString& group, const QString& name) const
{
    auto key = OpenSettings(group);
    return key->value(name);
}

QStringList ScopedSettings::Names(const QString& group) const
{
    auto key = OpenSettings(group);
    return key->childKeys();
}
