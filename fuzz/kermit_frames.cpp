// Arbitrary bytes from the calculator's side of the link, fed to the Kermit frame reader
// and the data decoder. The input also decides how the bytes are cut into reads, so
// frames split at any point are covered; the clock advances by a read's whole time
// limit whenever the input is exhausted. Checks the reader's promises: a known kind, a
// sequence number in range, a data field within the longest frame, and the decoder
// never growing the data.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzCheck.h"
#include "kermit/FrameChannel.h"
#include "kermit/KermitFrame.h"

using namespace kermit;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const uint8_t cut = data[0]; // low bits: longest read; high bit: reads take a while
    const ByteString line(reinterpret_cast<const char*>(data + 1), size - 1);
    std::size_t at = 0;
    uint32_t now = 0xFFFFFF00u; // near the wrap of the tick counter
    std::atomic<bool> stop{false};
    FramePort port{[&](ByteString& buf, int limitMs) {
                       std::fill(buf.begin(), buf.end(), '\0');
                       if (at >= line.size()) {
                           now += static_cast<uint32_t>(limitMs);
                           return 0;
                       }
                       const std::size_t most = (cut & 0x3F) + 1;
                       const std::size_t n = std::min({buf.size(), most, line.size() - at});
                       buf.replace(0, n, line, at, n);
                       at += n;
                       now += (cut & 0x80) ? 150 : 1;
                       return static_cast<int>(n);
                   },
                   [](const ByteString&) {}, [&] { return now; }};
    FrameChannel channel(stop, port);
    for (int frames = 0; frames < 1000; ++frames) {
        const std::size_t before = at;
        const ReceivedFrame f = channel.ReceiveFrame();
        if (f.kind != KindNone && f.kind != KindXModemRequest && f.kind != KindScreenPush) {
            FUZZ_CHECK(f.kind > 0x20 && f.kind < 0x7F);
            FUZZ_CHECK(f.seq >= 0 && f.seq <= MaxReceiveSeq);
            FUZZ_CHECK(f.data.size() <= static_cast<std::size_t>(MaxReceiveLen - 3));
            FUZZ_CHECK(DecodeData(f.data).size() <= f.data.size());
            channel.SendFrame(AckType, f.seq, {});
        } else if (f.kind == KindXModemRequest) {
            // The request carries the start byte that made it.
            FUZZ_CHECK(f.data.size() == 1 && (static_cast<uint8_t>(f.data[0]) == XModemChecksumRequest ||
                                              static_cast<uint8_t>(f.data[0]) == XModemCrcRequest));
        } else if (f.kind != KindNone) {
            FUZZ_CHECK(f.data.empty());
        }
        if (at >= line.size() && at == before) break;
    }
    // The decoder on its own, on the raw input.
    FUZZ_CHECK(DecodeData(line).size() <= line.size());
    return 0;
}
