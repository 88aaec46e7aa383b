// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Points the program's settings store at a fresh temporary folder for the life of the
// object, so a test starts from an empty store and never touches the user's.
#include <memory>

#include <QString>
#include <QTemporaryDir>

#include "util/Settings.h"

class ScopedSettings {
public:
    ScopedSettings();
    ~ScopedSettings();
    ScopedSettings(const ScopedSettings&) = delete;
    ScopedSettings& operator=(const ScopedSettings&) = delete;

    QString Folder() const { return dir_.path(); }
    // Writes name=value (any type) into group, as another program might have.
    void Put(const QString& group, const QString& name, const QVariant& value);
    // The stored value, or an invalid QVariant when missing.
    QVariant Get(const QString& group, const QString& name) const;
    QStringList Names(const QString& group) const;

private:
    QTemporaryDir dir_;
};
