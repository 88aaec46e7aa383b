#include "tests/support/ScopedSettings.h"

#include <QSettings>
#include <QStandardPaths>

ScopedSettings::ScopedSettings()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    PublishRegistryRoot("");
}

ScopedSettings::~ScopedSettings()
{
    PublishRegistryRoot("");
    // Back to the process's own configuration folder.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

void ScopedSettings::Put(const std::string& subKey, const QString& name, const QVariant& value)
{
    auto key = OpenRegistryKey(subKey);
    key->setValue(name, value);
}

QVariant ScopedSettings::Get(const std::string& subKey, const QString& name) const
{
    auto key = OpenRegistryKey(subKey);
    return key->value(name);
}

QStringList ScopedSettings::Names(const std::string& subKey) const
{
    auto key = OpenRegistryKey(subKey);
    return key->childKeys();
}
