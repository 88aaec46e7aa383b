#include "mainwindow/ApplicationWindows.h"

#include "services/CmStatus.h"
#include "services/HostInterfaces.h"
#include "windows/About.h"
#include "windows/DownLd.h"
#include "windows/LogIt.h"

void CreateApplicationWindows()
{
    if (!FDownLd) FDownLd = new TFDownLd;
    if (!FLogForm) FLogForm = new TFLogForm;
    if (!FCmStatus) {
        FCmStatus = new TFCmStatus;
        SetGlobalStatusDialog(FCmStatus);
    }
    if (!FAboutForm) FAboutForm = new TFAboutForm;
}
