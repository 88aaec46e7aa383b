// SPDX-License-Identifier: GPL-3.0-or-later
#include "util/Settings.h"

#include <mutex>

#include <QStringList>
#include <QVariant>

#include "util/CalvyxError.h"

namespace {
std::mutex gProfileMutex;
QString gProfile; // empty until published
} // namespace

void PublishSettingsProfile(const QString& group)
{
    std::lock_guard lock(gProfileMutex);
    gProfile = group;
}

QString SettingsProfile()
{
    std::lock_guard lock(gProfileMutex);
    return gProfile;
}

std::unique_ptr<QSettings> OpenSettings(const QString& group)
{
    QStringList parts = SettingsProfile().split(u'/', Qt::SkipEmptyParts);
    parts += group.split(u'/', Qt::SkipEmptyParts);
    auto settings =
        std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(SettingsOrganization),
                                    QString::fromLatin1(SettingsApplication));
    if (!parts.isEmpty()) settings->beginGroup(parts.join(u'/'));
    return settings;
}

QString ReadSettingString(const QSettings& settings, const QString& name, const QString& defaultValue)
{
    const QVariant value = settings.value(name);
    if (!value.isValid()) return defaultValue;
    if (value.typeId() != QMetaType::QString)
        throw CalvyxError(QStringLiteral("Invalid data type for '%1'").arg(name).toStdString());
    return value.toString();
}

int ReadSettingInteger(const QSettings& settings, const QString& name, int defaultValue)
{
    bool ok = false;
    const int value = ReadSettingString(settings, name, QString()).toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool ReadSettingBool(const QSettings& settings, const QString& name, bool defaultValue)
{
    return ReadSettingInteger(settings, name, defaultValue ? 1 : 0) != 0;
}

void WriteSettingString(QSettings& settings, const QString& name, const QString& value) { settings.setValue(name, value); }

void WriteSettingInteger(QSettings& settings, const QString& name, int value) { settings.setValue(name, QString::number(value)); }

void WriteSettingBool(QSettings& settings, const QString& name, bool value)
{
    settings.setValue(name, value ? QStringLiteral("1") : QStringLiteral("0"));
}
