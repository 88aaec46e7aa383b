#pragma once
// The texts of a transfer that still reports English text to its status dialog
// (OpenStatus, UpdateStatus) rather than events: "Receiving NAME", byte counts,
// "Connecting ..." put back into the windows' language, with the forms of
// windows/TransferTexts. Texts that are not such a status text are shown as they are.
// This goes once every engine reports events.
#include <string>

#include <QString>

QString ShownCoreText(const std::string& text);
