#pragma once
// Points the program's settings store at a fresh temporary folder for the life of the
// object, so a test starts from an empty registry key and never touches the user's.
#include <memory>

#include <QString>
#include <QTemporaryDir>

#include "util/Registry.h"

class ScopedSettings {
public:
    ScopedSettings();
    ~ScopedSettings();
    ScopedSettings(const ScopedSettings&) = delete;
    ScopedSettings& operator=(const ScopedSettings&) = delete;

    QString Folder() const { return dir_.path(); }
    // Writes name=value (any type) into subKey, as another program might have.
    void Put(const std::string& subKey, const QString& name, const QVariant& value);
    // The stored value, or an invalid QVariant when missing.
    QVariant Get(const std::string& subKey, const QString& name) const;
    QStringList Names(const std::string& subKey) const;

private:
    QTemporaryDir dir_;
};
