// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/Recorders.h"

#include "util/MainThread.h"

void RecordingStatusDialog::OpenStatus(const std::string& caption, bool)
{
    {
        std::lock_guard lock(mutex_);
        captions_.push_back(caption);
    }
    visible_ = true;
}

void RecordingStatusDialog::UpdateStatus(const StatusReport& report)
{
    if (!visible_) return; // a hidden dialog ignores reports, as the real one does
    {
        std::lock_guard lock(mutex_);
        reports_.push_back(report);
    }
    if (report.kind == StatusKind::Finished) visible_ = false;
    if (onReport) onReport(report);
}

std::vector<std::string> RecordingStatusDialog::Captions() const
{
    std::lock_guard lock(mutex_);
    return captions_;
}

std::vector<StatusReport> RecordingStatusDialog::Reports() const
{
    std::lock_guard lock(mutex_);
    return reports_;
}

std::vector<std::string> RecordingStatusDialog::LogLines() const
{
    std::vector<std::string> lines;
    for (const auto& r : Reports()) lines.push_back(r.text);
    return lines;
}

std::optional<std::string> RecordingHost::ChooseFileToSend(const std::string& title, const std::string& initialPath)
{
    chooserCalls.push_back({title, initialPath});
    return fileToSend;
}

std::unique_ptr<IStatusDialog> RecordingHost::CreateStatusDialog()
{
    auto dialog = std::make_unique<RecordingStatusDialog>();
    createdDialogs.push_back(dialog.get());
    return dialog;
}
