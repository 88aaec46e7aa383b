#include "mainwindow/ApplicationWindows.h"

#include "windows/TransferStatusDialog.h"
#include "util/HostInterfaces.h"
#include "windows/AboutDialog.h"
#include "windows/CalculatorSetupDialog.h"
#include "windows/LogWindow.h"

void CreateApplicationWindows()
{
    if (!TheSetupDialog) TheSetupDialog = new CalculatorSetupDialog;
    if (!TheLogWindow) TheLogWindow = new LogWindow;
    if (!TheStatusDialog) {
        TheStatusDialog = new TransferStatusDialog;
        SetGlobalStatusDialog(TheStatusDialog);
    }
    if (!TheAboutDialog) TheAboutDialog = new AboutDialog;
}
