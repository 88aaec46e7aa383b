#include "services/ScreenReader.h"

#include "link/PortLink.h"
#include "services/ScreenImage.h"
#include "util/StringTable.h"

namespace {
// Each read waits this long for the missing bytes; a cancel takes effect between reads.
constexpr int CaptureReadTimeoutMs = 1000;

// Closes the link however the capture ends.
struct LinkCloser {
    ~LinkCloser() { CloseLink(); }
};
} // namespace

void ScreenReader::Capture(const std::string& PortName, const ByteString& InitialBytes, ByteString& Image)
{
    Image = InitialBytes;
    if (PortName.empty()) return;
    bool failed = false;
    {
        LinkCloser closer;
        try {
            if (!LinkIsOpen()) OpenLink(UpperCasePortName(PortName), LinkBaud);
            SetShortTimeouts();
            Trace("Begin capture read");
            while (Image.size() < ScreenImageSize) {
                if (Cancelled) {
                    Image.clear();
                    break;
                }
                ByteString chunk(ScreenImageSize - Image.size(), '\0');
                const int count = ReadLink(chunk, CaptureReadTimeoutMs);
                Image.append(chunk, 0, static_cast<std::size_t>(count > 0 ? count : 0));
                Trace("  Result so far= " + std::to_string(Image.size()));
            }
        } catch (...) {
            failed = true;
        }
    }
    if (failed) RaiseError(Str::UnableToOpenComms + PortName);
}
