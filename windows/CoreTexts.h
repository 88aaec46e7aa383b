#pragma once
// The status texts the transfers compose (util/StringTable.h: "Receiving NAME", byte
// counts, "Device connected on PORT" ...) in the windows' language. The protocol core
// composes them in English, which calvyx-cli prints as they are; the windows translate
// them where they show them: the status dialog, the log and the main window's status
// bar. Texts that are not such a status text are shown as they are.
#include <string>

#include <QString>

QString ShownCoreText(const std::string& text);
