// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three connection states the main window shows, and which of its controls each
// state offers.

enum ConnState : int {
    StateUnset = -1,
    StateDisconnected = 0, // no port selected: the prompt and the animation
    StateBusy = 1,         // a transfer runs, or the window waits for the next file: only the connection is fixed
    StateConnected = 2,    // a port is open and nothing runs
};

struct ControlStates {
    bool treeVisible;
    bool treeEnabled;
    bool splitterEnabled;
    bool promptVisible;
    bool listVisible;
    bool listEnabled;
    bool comboEnabled;
    bool animationPlaying; // visible and playing
    bool captureEnabled;
    bool folderCommandsEnabled; // New Folder, Delete, Rename
    bool usbCommandsEnabled;    // receive by wire, ROM download
    bool recentEnabled;
};

// usbChosen: the connection box shows the calculator's USB device.
//
// While busy, what does not touch the link stays usable: the folder views and their
// commands (a Kermit transfer takes its folder when its file begins). The commands that
// need the link stay offered too and say why they wait when used (a greyed command
// tells nothing); only the connection cannot change under a transfer.
constexpr ControlStates ControlsFor(int state, bool usbChosen)
{
    const bool busy = state == StateBusy;
    const bool views = state == StateConnected || busy;
    return ControlStates{
        .treeVisible = views,
        .treeEnabled = views,
        .splitterEnabled = views,
        .promptVisible = !views,
        .listVisible = views,
        .listEnabled = views,
        .comboEnabled = !busy,
        .animationPlaying = !views,
        .captureEnabled = views,
        .folderCommandsEnabled = views,
        .usbCommandsEnabled = views && usbChosen,
        .recentEnabled = views,
    };
}
