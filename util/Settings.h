// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's settings store: QSettings for the user, organisation "Quentar-Varisko",
// application "Calvyx" (~/.config/Quentar-Varisko/Calvyx.conf). Every value is a
// string: numbers in decimal, Booleans "1"/"0".
#include <memory>

#include <QSettings>
#include <QString>

inline constexpr const char* SettingsOrganization = "Quentar-Varisko";
inline constexpr const char* SettingsApplication = "Calvyx";

// The group that the main window publishes at start-up for every window that keeps its
// placement ("Profiles/Second"; empty: the top of the store, which is also where
// everything lives until something is published).
void PublishSettingsProfile(const QString& group);
QString SettingsProfile();

// Opens the store positioned on group below the published profile ("" for the profile
// itself; groups below it separated by slashes). Values are written when the returned
// object is destroyed.
std::unique_ptr<QSettings> OpenSettings(const QString& group = {});

// Typed access: values are stored as strings. ReadSettingString raises CalvyxError
// "Invalid data type for '<name>'" when the value exists with another type; a missing
// value yields the default.
QString ReadSettingString(const QSettings& settings, const QString& name, const QString& defaultValue);
// A missing value or one that is not a decimal integer yields the default.
int ReadSettingInteger(const QSettings& settings, const QString& name, int defaultValue);
// A number; true when it is not 0.
bool ReadSettingBool(const QSettings& settings, const QString& name, bool defaultValue);
void WriteSettingString(QSettings& settings, const QString& name, const QString& value);
void WriteSettingInteger(QSettings& settings, const QString& name, int value);
void WriteSettingBool(QSettings& settings, const QString& name, bool value);
