#pragma once
// Names the folder commands choose and the wire receive proposes.
#include <QByteArray>
#include <QString>

// The path of the folder New Folder creates in parent: "New Folder", then
// "New Folder (2)", "New Folder (3)" ... the first name that no folder or file holds.
// Trailing separators of parent are dropped; empty when parent is empty.
QString NextNewFolderPath(const QString& parent);

// The file name a received object proposes: the name in its header (byte 9 its length,
// 1 to 35, the name from byte 10 on), else "untitled". Characters that cannot stand in
// a file name here (separators, control characters) become "_", so the name never
// leaves the proposed folder.
QString ReceivedObjectName(const QByteArray& object);
