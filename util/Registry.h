#pragma once
// The program's settings store. Everything lives under one root key of the current
// user, "Software\Quentar-Varisko\Calvyx"; QSettings maps it to the registry on
// Windows and to ~/.config/Quentar-Varisko/Calvyx.conf elsewhere. Every value is a
// string: numbers in decimal, Booleans "1"/"0".
#include <memory>
#include <string>

#include <QSettings>
#include <QString>

inline constexpr const char* DefaultRegistryRoot = "Software\\Quentar-Varisko\\Calvyx";

// The root that the main window publishes at start-up for every window that keeps its
// placement. Until something is published the program's own root is used.
void PublishRegistryRoot(const std::string& root);
std::string RegistryRoot();

// Opens RegistryRoot (created when missing) positioned on subKey ("" for the root
// itself; subkeys below it separated by backslashes). Values are written when the
// returned object is destroyed.
std::unique_ptr<QSettings> OpenRegistryKey(const std::string& subKey = {});

// Typed access in the manner of a registry key: only string values are accepted.
// ReadString raises CalvyxError "Invalid data type for '<name>'" when the value exists
// with another type; a missing value yields the default.
QString ReadRegistryString(const QSettings& key, const QString& name, const QString& defaultValue);
// A missing value or one that is not a decimal integer yields the default.
int ReadRegistryInteger(const QSettings& key, const QString& name, int defaultValue);
// A number; true when it is not 0.
bool ReadRegistryBool(const QSettings& key, const QString& name, bool defaultValue);
void WriteRegistryString(QSettings& key, const QString& name, const QString& value);
void WriteRegistryInteger(QSettings& key, const QString& name, int value);
void WriteRegistryBool(QSettings& key, const QString& name, bool value);
