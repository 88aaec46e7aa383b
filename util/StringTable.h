// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's message texts, one named constant per string-table entry
// (ids 65200 to 65247). Add entries here rather than spelling texts in place.
// The texts the windows show are marked for translation (context "Texts"): the windows
// translate them where they show them, the terminal programs print them as they are.
#include <QtGlobal>

namespace Str {
inline constexpr const char* ConnectingDots = "Connecting ...";                                                     // 65208
inline constexpr const char* NewFolder = "New Folder";                                                              // 65219
inline constexpr const char* CanceledByPC = "Canceled by PC";                                                       // 65220
inline constexpr const char* FileDoesNotExist = "File does not exist";                                              // 65221
inline constexpr const char* UserCancel = "User cancel";                                                            // 65222
inline constexpr const char* Files = QT_TRANSLATE_NOOP("Texts", "Files");                                           // 65225
inline constexpr const char* AllFiles = QT_TRANSLATE_NOOP("Texts", "All Files");                                    // 65226
inline constexpr const char* DownloadRom = QT_TRANSLATE_NOOP("Texts", "Download ROM");                              // 65227
inline constexpr const char* DownloadFailed = QT_TRANSLATE_NOOP("Texts", "Download of ROM file \r\n%s\r\nfailed."); // 65229
inline constexpr const char* DownloadError = QT_TRANSLATE_NOOP("Texts", "Download Error");                          // 65230
inline constexpr const char* Disconnected =
    QT_TRANSLATE_NOOP("Texts",
                      "The calculator appears to be disconnected. \r\n\r\nPlease ensure that:\r\n\r\n"
                      "   1. The calculator is turned on,\r\n\r\n   2. The connection is good\r\n"
                      "        (unplug and replug the calculator),\r\n\r\n   3. The batteries are good\r\n"
                      "        (check if the warning indicator is set)."); // 65232
inline constexpr const char* Receiving = "Receiving ";                     // 65236
inline constexpr const char* Sending = "Sending ";                         // 65237
inline constexpr const char* Bytes = " bytes";                             // 65238
inline constexpr const char* BytesPerSec = " bytes/s";                     // 65239
inline constexpr const char* KBytes = " Kbytes";                           // 65240
inline constexpr const char* KBytesPerSec = " Kbytes/s";                   // 65241
inline constexpr const char* Error = QT_TRANSLATE_NOOP("Texts", "Error");  // 65245
inline constexpr const char* SendByWire = "(Send by wire)";                // 65246
inline constexpr const char* Copying = "Copying ";
// The wire receive: its caption, and what the user does while it waits.
inline constexpr const char* ReceivingByWire = "Receiving by wire";
inline constexpr const char* SendObjectNow = "Now send the Calcapp from the calculator's send menu";
inline constexpr const char* UnableToOpenComms = "The connectivity kit is unable to open communications to: ";
// The transfer server, the wire receive and the ROM update.
inline constexpr const char* NotReady = "T20, T20+, T20s, T30s is not ready";
inline constexpr const char* OpeningPort = "Opening port: ";
inline constexpr const char* OpeningComm = "Opening Comm %s";
inline constexpr const char* DeviceConnectedOn = "Device connected on %s";
inline constexpr const char* ComPortCannotBeAuto = "Com port cannot be auto for this operation";
inline constexpr const char* ComSettingError = "Com Setting Error";
inline constexpr const char* UnableToOpenFile = "Unable to open file %s";
inline constexpr const char* SystemErrorNumber = " - WinErr=%s"; // the system error number; scripts read this wording
inline constexpr const char* CannotReadFromFile = "Cannot read from file %s";
} // namespace Str
