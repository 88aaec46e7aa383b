#pragma once
// The long-lived windows created after the main window, in their order: the set-up
// instructions, the log window, the transfer status dialog (installed as the one the
// transfers report to) and the About window. Each is created once; a second call does
// nothing.
void CreateApplicationWindows();
