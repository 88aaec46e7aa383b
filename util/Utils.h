#pragma once
// Small free routines shared by the layers: the XModem CRC, the program's folder,
// whole-file reading and writing, and a folder test.
#include <cstdint>
#include <string>

#include "util/ByteString.h"

// CRC-16/KERMIT (reflected 0x1021, initial 0, no final XOR), four bits at a time.
uint16_t Crc16(std::string_view data);
// Folder of the running executable, without a trailing separator ("/" stays "/").
std::string GetExeDir();
// The whole file; raises CalvyxError "Cannot open file "%s". %s" when it cannot be read.
ByteString ReadFileToString(const std::string& fileName);
// Creates or empties the file and writes data unchanged; raises CalvyxError with the
// system's reason when it cannot be created or written (the file is closed in any case).
void WriteStringToFile(const ByteString& data, const std::string& fileName);
bool DirExists(const std::string& path);
// The last component of a path (either separator), as the status texts show it.
std::string FileNamePart(const std::string& path);
// A message text with one "%s" filled in (the string table's formatted messages).
std::string FormatText(const char* format, const std::string& arg);
