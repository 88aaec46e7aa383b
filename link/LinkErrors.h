#pragma once
// The failure path of the link and the files a transfer holds open.
#include <string>

// Closes the tracked files and raises CalvyxError(""): the caller's handler decides
// what follows (the link stays open).
[[noreturn]] void SeriousError();
// The same after a pause of pauseMs (SeriousError pauses 100 ms); Link::Fail takes the
// pause on the line's clock.
[[noreturn]] void SeriousErrorAfter(int pauseMs);
// Raises CalvyxError("Error(" + detail + ")").
[[noreturn]] void RaiseError(const std::string& detail);
// The error of a port that could not be opened: "Error(The connectivity kit is unable
// to open communications to: <name>)", as text and raised. A reason (Link::OpenError,
// e.g. the udev rule a USB device needs) follows the name: "...<name>. <reason>)".
std::string OpenErrorText(const std::string& name, const std::string& reason = "");
[[noreturn]] void RaiseOpenError(const std::string& name, const std::string& reason = "");

// Files a transfer holds open, closed by SeriousError.
enum class FileSlot { Send, Receive };
enum class FileAccess { Read, Write };
// Returns a descriptor, or -1 with errno kept when the open failed (slot emptied).
int OpenTrackedFile(FileSlot slot, const std::string& path, FileAccess access);
void CloseTrackedFile(FileSlot slot);
int TrackedFile(FileSlot slot);
