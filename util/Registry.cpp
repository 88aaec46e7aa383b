#include "util/Registry.h"

#include <mutex>

#include <QStringList>
#include <QVariant>

#include "util/CalvyxError.h"

namespace {
std::mutex gRootMutex;
std::string gRoot; // empty until published
} // namespace

void PublishRegistryRoot(const std::string& root)
{
    std::lock_guard lock(gRootMutex);
    gRoot = root;
}

std::string RegistryRoot()
{
    std::lock_guard lock(gRootMutex);
    return gRoot.empty() ? std::string(DefaultRegistryRoot) : gRoot;
}

std::unique_ptr<QSettings> OpenRegistryKey(const std::string& subKey)
{
    // "Software\<maker>\<program>[\deeper]": the maker and program name select the
    // store, anything deeper becomes a group inside it.
    QStringList parts = QString::fromStdString(RegistryRoot()).split(u'\\', Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.front().compare(u"Software", Qt::CaseInsensitive) == 0) parts.removeFirst();
    const QString maker = parts.isEmpty() ? QString() : parts.takeFirst();
    const QString program = parts.isEmpty() ? QString() : parts.takeFirst();
    parts += QString::fromStdString(subKey).split(u'\\', Qt::SkipEmptyParts);
    auto key = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, maker, program);
    if (!parts.isEmpty()) key->beginGroup(parts.join(u'/'));
    return key;
}

QString ReadRegistryString(const QSettings& key, const QString& name, const QString& defaultValue)
{
    const QVariant value = key.value(name);
    if (!value.isValid()) return defaultValue;
    if (value.typeId() != QMetaType::QString)
        throw CalvyxError(QStringLiteral("Invalid data type for '%1'").arg(name).toStdString());
    return value.toString();
}

int ReadRegistryInteger(const QSettings& key, const QString& name, int defaultValue)
{
    bool ok = false;
    const int value = ReadRegistryString(key, name, QString()).toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool ReadRegistryBool(const QSettings& key, const QString& name, bool defaultValue)
{
    return ReadRegistryInteger(key, name, defaultValue ? 1 : 0) != 0;
}

void WriteRegistryString(QSettings& key, const QString& name, const QString& value) { key.setValue(name, value); }

void WriteRegistryInteger(QSettings& key, const QString& name, int value)
{
    key.setValue(name, QString::number(value));
}

void WriteRegistryBool(QSettings& key, const QString& name, bool value)
{
    key.setValue(name, value ? QStringLiteral("1") : QStringLiteral("0"));
}
