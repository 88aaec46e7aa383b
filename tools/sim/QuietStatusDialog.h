// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A status dialog that shows nothing, for the programs that run transfers against the
// virtual calculator without windows or recorders (benches, fuzz targets): open from
// OpenStatus until the end report (kind 3), HideStatus or the user's Cancel, as the
// real dialog's visibility goes.
#include <atomic>
#include <string>

#include "util/HostInterfaces.h"

namespace sim {

class QuietStatusDialog : public IStatusDialog {
public:
    // The user closes the dialog: its owner hears it and cancels the running transfer.
    void Cancel()
    {
        visible_ = false;
        if (OnCancel) OnCancel();
    }
    void OpenStatus(const std::string&, bool) override { visible_ = true; }
    void UpdateStatus(const StatusReport& report) override
    {
        if (report.kind == StatusKind::Finished) visible_ = false;
    }
    void HideStatus() override { visible_ = false; }
    bool IsStatusVisible() const override { return visible_; }

private:
    std::atomic<bool> visible_{false};
};

} // namespace sim
