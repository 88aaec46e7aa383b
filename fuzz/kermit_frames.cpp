// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary bytes from the calculator's side of the link, read by the Kermit frame reader
// and handed straight to the dialogue's state machine (KermitProtocol), all in this
// thread: no engine thread, no main thread, and the clock is the target's own. The input
// also decides how the bytes are cut into reads, so frames split at any point are
// covered; the clock advances by a read's whole time limit whenever the input is
// exhausted.
//
// Input: byte 0: its low six bits the longest read less one, bit 6 the user cancels at
// the first progress of a transfer, bit 7 reads take 150 ms. The rest: what the
// calculator sends.
//
// Checks the reader's promises (a known kind, a sequence number in range, a data field
// within the longest frame, the decoder never growing the data) and the dialogue's: it
// writes only whole frames of the PC's types with numbers in range and D fields that
// decode; its events follow Started, Progress..., one Ended per transfer (a refused
// request: an Ended alone), progress never beyond the size; a push that ended well left
// its file with as many bytes as the last progress said, and no receive, however it
// ended, left a temporary file behind. Nothing is traced unless a sink is set: the
// trace lines are built only then.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stop_token>
#include <string>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "fuzz/FuzzCheck.h"
#include "kermit/FrameChannel.h"
#include "kermit/KermitFrame.h"
#include "kermit/KermitProtocol.h"
#include "util/Utils.h"

using namespace kermit;

namespace {

// The folder of the dialogue, with the files a request may fetch.
std::string Folder;
const char* const FetchNames[] = {"A", "EMPTY", "BIG.QVA"};
const std::size_t FetchSizes[] = {100, 0, 600};

void WriteFetchFiles()
{
    for (std::size_t i = 0; i < std::size(FetchNames); ++i) {
        ByteString content(FetchSizes[i], '\0');
        for (std::size_t b = 0; b < content.size(); ++b) content[b] = static_cast<char>((b * 13 + i) & 0xFF);
        WriteStringToFile(content, Folder + "/" + FetchNames[i]);
    }
}

bool IsFetchName(const std::string& name)
{
    return std::find(std::begin(FetchNames), std::end(FetchNames), name) != std::end(FetchNames);
}

// Back to the fetch files alone after a run that received files: what it stored goes,
// the fetch files are written again only when one was replaced (they are most runs'
// whole cost otherwise). No temporary file may be left behind by a receive, whatever
// became of it.
void ResetFolder(bool fetchFileReplaced)
{
    if (DIR* dir = ::opendir(Folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == ".." || IsFetchName(name)) continue;
            FUZZ_CHECK(name.rfind(TemporaryPrefix, 0) != 0);
            ::unlink((Folder + "/" + name).c_str());
        }
        ::closedir(dir);
    }
    if (fetchFileReplaced) WriteFetchFiles();
}

// The PC's side of the line: frames go nowhere but are checked.
class Actions : public KermitActions {
public:
    Actions(FrameChannel& channel, uint32_t& now) : channel_(channel), now_(now) {}
    void SendFrame(char type, int seq, std::string_view data) override
    {
        FUZZ_CHECK(std::string_view("YNESFDZB").find(type) != std::string_view::npos);
        // The PC answers a packet under its own number, and the calculator's 64 is taken.
        FUZZ_CHECK(seq >= 0 && seq <= MaxReceiveSeq);
        if (type == DataType) FUZZ_CHECK(data.size() <= MaxSendData && IsEncodedData(data));
        channel_.SendFrame(type, seq, data);
    }
    void ResendLastFrame() override
    {
        FUZZ_CHECK(!channel_.LastFrame().empty());
        channel_.ResendLastFrame();
    }
    void Pause(int ms) override { now_ += static_cast<uint32_t>(ms); }
    void ClearInput() override {}
    void SendByXModem(uint8_t requestByte, const std::string&) override
    {
        FUZZ_CHECK(requestByte == XModemChecksumRequest || requestByte == XModemCrcRequest);
    }

private:
    FrameChannel& channel_;
    uint32_t& now_;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char pattern[] = "/dev/shm/kermit-frames-XXXXXX";
    char fallback[] = "/tmp/kermit-frames-XXXXXX";
    const char* dir = ::mkdtemp(pattern);
    if (!dir) dir = ::mkdtemp(fallback);
    if (!dir) {
        std::perror("mkdtemp");
        std::abort();
    }
    Folder = dir;
    WriteFetchFiles();
    // The folder goes when the run ends.
    std::atexit([] {
        ResetFolder(false);
        for (const char* name : FetchNames) ::unlink((Folder + "/" + name).c_str());
        ::rmdir(Folder.c_str());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1) return 0;
    const uint8_t cut = data[0];
    const bool cancelAtProgress = (cut & 0x40) != 0;
    const ByteString line(reinterpret_cast<const char*>(data + 1), size - 1);
    std::size_t at = 0;
    uint32_t now = 0xFFFFFF00u; // near the wrap of the tick counter
    std::stop_source stop;
    FramePort port{[&](ByteString& buf, int limitMs) {
                       if (at >= line.size()) {
                           now += static_cast<uint32_t>(limitMs);
                           return 0;
                       }
                       const std::size_t most = (cut & 0x3F) + 1u;
                       const std::size_t n = std::min(std::min(buf.size(), most), line.size() - at);
                       std::memcpy(buf.data(), line.data() + at, n);
                       at += n;
                       now += (cut & 0x80) ? 150 : 1;
                       return static_cast<int>(n);
                   },
                   [](const ByteString&) {}, [&] { return now; }};
    FrameChannel channel(stop.get_token(), port);
    Actions actions(channel, now);

    // The events, as a consumer would follow them.
    bool inTransfer = false, received = false, fetchFileReplaced = false, cancelAsked = false;
    TransferEvent started;
    int64_t lastDone = 0;
    KermitProtocol* running = nullptr;
    const TransferEventSink sink = [&](const TransferEvent& e) {
        FUZZ_CHECK(e.kind == TransferKind::KermitReceive || e.kind == TransferKind::KermitSend);
        switch (e.stage) {
        case TransferStage::Started:
            FUZZ_CHECK(!inTransfer);
            inTransfer = true;
            received = received || e.kind == TransferKind::KermitReceive;
            started = e;
            lastDone = 0;
            return;
        case TransferStage::Progress:
            FUZZ_CHECK(inTransfer && e.kind == started.kind && e.file == started.file);
            FUZZ_CHECK(e.done >= lastDone);
            FUZZ_CHECK(e.total == started.total && (e.total == 0 || e.done <= e.total));
            lastDone = e.done;
            if (cancelAtProgress && !cancelAsked) {
                cancelAsked = true;
                running->CancelTransfer();
            }
            return;
        case TransferStage::Ended:
            if (!inTransfer) {
                // A request refused before it began.
                FUZZ_CHECK(e.outcome == TransferOutcome::Failed);
                return;
            }
            inTransfer = false;
            FUZZ_CHECK(e.kind == started.kind && e.file == started.file);
            if (e.Succeeded() && e.kind == TransferKind::KermitReceive) {
                // Stored under its own name, or (a name with a backslash) under another.
                fetchFileReplaced = fetchFileReplaced || IsFetchName(e.file) || e.file.find('\\') != std::string::npos;
                struct stat st {};
                FUZZ_CHECK(::stat((Folder + "/" + e.file).c_str(), &st) == 0 || e.file.find('\\') != std::string::npos);
                if (e.file.find('\\') == std::string::npos) FUZZ_CHECK(st.st_size == lastDone);
            }
            if (e.reason == TransferReason::UserCancelled) FUZZ_CHECK(cancelAsked);
            return;
        default:
            FUZZ_CHECK(false);
        }
    };
    KermitProtocol protocol(actions, sink, Folder, now);
    running = &protocol;

    for (int frames = 0; frames < 1000 && !protocol.Finished(); ++frames) {
        const std::size_t before = at;
        const ReceivedFrame f = channel.ReceiveFrame();
        if (f.kind != KindNone && f.kind != KindXModemRequest && f.kind != KindScreenPush) {
            FUZZ_CHECK(f.kind > 0x20 && f.kind < 0x7F);
            FUZZ_CHECK(f.seq >= 0 && f.seq <= MaxReceiveSeq);
            FUZZ_CHECK(f.data.size() <= static_cast<std::size_t>(MaxReceiveLen - 3));
            FUZZ_CHECK(DecodeData(f.data).size() <= f.data.size());
        } else if (f.kind == KindXModemRequest) {
            // The request carries the start byte that made it.
            FUZZ_CHECK(f.data.size() == 1 && (static_cast<uint8_t>(f.data[0]) == XModemChecksumRequest ||
                                              static_cast<uint8_t>(f.data[0]) == XModemCrcRequest));
        } else if (f.kind != KindNone) {
            FUZZ_CHECK(f.data.empty());
        }
        protocol.Handle(f, now);
        if (at >= line.size() && at == before) break;
    }
    protocol.Stop(true, now);
    FUZZ_CHECK(!inTransfer);
    // The decoder on its own, on the raw input.
    FUZZ_CHECK(DecodeData(line).size() <= line.size());
    if (received) ResetFolder(fetchFileReplaced);
    return 0;
}
