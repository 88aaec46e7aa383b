// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three connection states the main window shows, and which of its controls each
// state offers.

enum ConnState : int {
    StateUnset = -1,
    StateDisconnected = 0, // no port selected: the prompt and the animation
    StateBusy = 1,         // a transfer runs: the views shown but not usable
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
constexpr ControlStates ControlsFor(int state, bool usbChosen)
{
    const bool connected = state == StateConnected;
    const bool busy = state == StateBusy;
    const bool views = connected || busy;
    return ControlStates{
        .treeVisible = views,
        .treeEnabled = connected,
        .splitterEnabled = views,
        .promptVisible = !views,
        .listVisible = views,
        .listEnabled = connected,
        .comboEnabled = !busy,
        .animationPlaying = !views,
        .captureEnabled = connected,
        .folderCommandsEnabled = connected,
        .usbCommandsEnabled = connected && usbChosen,
        .recentEnabled = connected,
    };
}
