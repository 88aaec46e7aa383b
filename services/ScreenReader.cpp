// SPDX-License-Identifier: GPL-3.0-or-later
#include "services/ScreenReader.h"

#include "link/LinkErrors.h"
#include "link/PortName.h"
#include "link/Trace.h"
#include "services/ScreenImage.h"

namespace {

// Each read waits this long for the missing bytes; a cancel takes effect between reads.
constexpr int CaptureReadTimeoutMs = 1000;
// On a serial line: after the time the bytes take on the line.
constexpr int CaptureSerialReadTimeoutMs = 100;

// Closes the link however the capture ends.
struct LinkCloser {
    Link& link;
    ~LinkCloser() { link.Close(); }
};

} // namespace

void ScreenReader::OpenLink()
{
    if (!link_->IsOpen()) link_->Open(UpperCasePortName(portName_), LinkBaud);
}

void ScreenReader::ReadScreen(const ByteString& initialBytes, ByteString& image)
{
    image = initialBytes;
    openError_.clear();
    if (portName_.empty()) return;
    bool failed = false;
    {
        LinkCloser closer{*link_};
        try {
            OpenLink();
            Trace("Begin capture read");
            while (image.size() < ScreenImageSize) {
                if (Cancelled) {
                    image.clear();
                    break;
                }
                ByteString chunk(ScreenImageSize - image.size(), '\0');
                const int count =
                    link_->Read(chunk, link_->Kind() == LinkKind::Serial ? CaptureSerialReadTimeoutMs : CaptureReadTimeoutMs);
                image.append(chunk, 0, static_cast<std::size_t>(count > 0 ? count : 0));
                Trace("  Result so far= " + std::to_string(image.size()));
            }
        } catch (const LinkError& e) {
            failed = true;
            openError_ = e.Reason();
        } catch (...) {
            failed = true;
        }
    }
    if (failed) RaiseOpenError(portName_, openError_);
}
