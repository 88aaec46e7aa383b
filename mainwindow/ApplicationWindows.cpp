#include "mainwindow/ApplicationWindows.h"

#include "mainwindow/MainWindow.h"
#include "services/TransferServer.h"
#include "windows/AboutDialog.h"
#include "windows/CalculatorSetupDialog.h"
#include "windows/LogWindow.h"
#include "windows/TransferStatusDialog.h"

void CreateApplicationWindows()
{
    if (!TheSetupDialog) TheSetupDialog = new CalculatorSetupDialog;
    if (!TheLogWindow) TheLogWindow = new LogWindow;
    if (!TheStatusDialog) {
        TheStatusDialog = new TransferStatusDialog;
        if (TheMainWindow) TheMainWindow->Server().SetStatusDialog(TheStatusDialog);
    }
    if (!TheAboutDialog) TheAboutDialog = new AboutDialog;
}
