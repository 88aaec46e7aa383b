#pragma once
// SelectedPort: the program-wide name of the chosen connection ("QVxT0+", "COM1",
// "COM2", or the command-line parameter). The main window sets it; the polling, the
// wire receive and the capture window read it, the capture window from its timer
// while a receive thread may be starting. Reads and writes are safe from any thread.
#include <string>

std::string SelectedPort();
void SetSelectedPort(const std::string& name);
