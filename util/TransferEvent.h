// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a transfer tells the session that runs it, as data: which transfer, how far it
// is, how it ended and why. The engines report these from their own threads; the
// windows word and translate them, calvyx-cli prints them, the log keeps them. Nothing
// in here is text for the user except the detail, which is what the system or the
// calculator said (strerror, the calculator's E packet), passed on as it came.
#include <cstdint>
#include <functional>
#include <string>

// Which transfer, and so which way the bytes go.
enum class TransferKind : uint8_t {
    KermitReceive, // a file the calculator pushes into the folder
    KermitSend,    // a file from the folder that the calculator asked for by name
    XModemSend,    // the file the user picked for the calculator's XModem request
    WireReceive,   // one object the calculator sends by wire
    RomLoad,       // a new ROM for a calculator in its ROM-load mode
};

enum class TransferDirection : uint8_t { ToPc, ToCalculator };

constexpr TransferDirection DirectionOf(TransferKind kind)
{
    return kind == TransferKind::KermitReceive || kind == TransferKind::WireReceive ? TransferDirection::ToPc
                                                                                    : TransferDirection::ToCalculator;
}

enum class TransferStage : uint8_t {
    Started,    // the transfer begins: file names it, total is its size (0: not known)
    Connecting, // the PC waits for the calculator to be ready
    Progress,   // done of total bytes (total 0: the size was never announced)
    Notice,     // a passing condition while it runs, named by reason (None: nothing to say)
    Ended,      // outcome and reason say how it ended
};

enum class TransferOutcome : uint8_t {
    Completed, // everything arrived
    Cancelled, // the user on the PC stopped it, or the session did (reason says which)
    Failed,    // reason says why
};

// Why a transfer ended as it did, or what a notice is about.
enum class TransferReason : uint8_t {
    None,
    UserCancelled,       // Cancel on the PC
    Stopped,             // the session stopped (the program ends, the port changes)
    CalculatorCancelled, // an E packet or a CAN; detail: the calculator's text, if any
    LinkLost,            // the device went away or the line failed; detail: the system's words
    TooManyErrors,       // one packet failed too often on a noisy line
    NoAnswer,            // the calculator went quiet; detail: for how long ("30 s")
    CannotStore,         // the received file could not be written; detail: strerror
    NotEnoughSpace,      // detail: "N bytes announced, M free"
    NameRefused,         // a file name the folder must not take
    FileNotFound,        // the requested file is not a regular file in the folder
    CannotRead,          // the file to send could not be read; detail: why
    NoFileChosen,        // the user declined the XModem request
    NoStart,             // XModem: the calculator never sent its start byte
    Abandoned,           // XModem: a block went unanswered too often
    BadBlocks,           // the calculator's blocks kept failing their check
    NotReady,            // a notice: the calculator does not answer yet
    EndUnconfirmed,      // a notice: every block arrived, only the answer to the end is missing
    Refused,             // the calculator refused the transfer; detail: why
};

struct TransferEvent {
    TransferStage stage = TransferStage::Started;
    TransferKind kind = TransferKind::KermitReceive;
    std::string file; // the name the user knows the file by (no folder; a ROM: its path)
    int64_t done = 0;
    int64_t total = 0;
    uint32_t elapsedMs = 0; // since Started
    TransferOutcome outcome = TransferOutcome::Completed;
    TransferReason reason = TransferReason::None;
    std::string detail;

    TransferDirection Direction() const { return DirectionOf(kind); }
    bool Succeeded() const { return stage == TransferStage::Ended && outcome == TransferOutcome::Completed; }
};

// What a transfer status dialog does at an end that is no success; the same rule for
// the window's dialog and for the words in English.
struct DialogAtFailedEnd {
    // The end is worded on the dialog. A failed ROM load keeps the dialog's last text:
    // its caller shows the error.
    bool sayEnd = true;
    // The dialog goes. A Kermit transfer that failed leaves it: the calculator goes on
    // with the next request. So does a wire receive the line or the calculator broke
    // off; one the calculator was not ready for keeps "not ready" and its reason up, and
    // so do the others, until the user closes the dialog.
    bool close = false;
};
inline DialogAtFailedEnd DialogAtEndOf(const TransferEvent& event)
{
    DialogAtFailedEnd rule;
    rule.sayEnd = event.kind != TransferKind::RomLoad;
    rule.close = event.kind == TransferKind::KermitReceive || event.kind == TransferKind::KermitSend ||
                 (event.kind == TransferKind::WireReceive && event.outcome == TransferOutcome::Failed &&
                  event.reason != TransferReason::NoAnswer && event.reason != TransferReason::BadBlocks);
    return rule;
}

// Where an engine sends its events: called in the engine's thread, and it returns
// quickly (the session queues the event for the main thread).
using TransferEventSink = std::function<void(const TransferEvent&)>;
