// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kermit frames as the calculator and the PC exchange them: the layout, the 6-bit block
// check, the "#" control prefixing of file data and the PC's fixed send-init string.
// Pure functions over byte strings; FrameChannel does the reading and writing.
//
//   SOH  LEN  SEQ  TYPE  DATA...  CHECK  [CR LF, frames the PC sends]
//   LEN = tochar(length(DATA) + 3), SEQ = tochar(seq mod 64), CHECK = tochar(check)
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "util/ByteString.h"

namespace kermit {

inline constexpr uint8_t Mark = 0x01;                  // SOH, starts every frame
inline constexpr uint8_t Qctl = '#';                   // control prefix, both directions
inline constexpr uint8_t XModemChecksumRequest = 0x15; // NAK outside a frame
inline constexpr uint8_t XModemCrcRequest = 'D';       // "D" outside a frame
inline constexpr uint8_t ScreenPushByte = 0x80;        // the calculator pushes its screen

// D packets the PC sends carry at most this many data bytes (LEN up to tochar(80)).
inline constexpr std::size_t MaxSendData = 77;
// Longest frame accepted from the calculator: LEN up to tochar(96).
inline constexpr int MaxReceiveLen = 96;
// Sequence numbers above this are refused (64 itself is accepted).
inline constexpr int MaxReceiveSeq = 64;

// What the PC announces in its S packet and its Y answer to an S or I, whatever the
// calculator asked for: MAXL 94, TIME 10, no padding, PADC NUL, EOL CR, QCTL "#",
// QBIN "Y" (never used), block check 1. There is no repeat field.
inline constexpr std::string_view SendInit = "~* @-#Y1";

// Packet types.
inline constexpr char SendInitType = 'S', InitType = 'I', FileType = 'F', DataType = 'D', EofType = 'Z', BreakType = 'B',
                      AckType = 'Y', NakType = 'N', ErrorType = 'E', MessageType = 'M', ReceiveInitType = 'R',
                      AttributeType = 'A';

// ReceiveFrame's answer when no frame came: nothing valid within the frame time, or one
// of the single bytes the calculator sends outside a frame.
inline constexpr uint8_t KindNone = 0;
inline constexpr uint8_t KindXModemRequest = 1;
inline constexpr uint8_t KindScreenPush = ScreenPushByte;

inline constexpr char ToChar(int x) { return static_cast<char>(x + 32); }
inline constexpr int UnChar(uint8_t y) { return static_cast<int>(y) - 32; }

// The type-1 block check (0..63) of LEN, SEQ, TYPE and DATA.
int KermitCheck(std::string_view bytes);

// One whole frame as the PC sends it, CR LF included.
ByteString BuildFrame(char type, int seq, std::string_view data);

// True when a file byte travels as "#" and the byte XOR 0x40 (or "#" as "##").
bool NeedsPrefix(uint8_t b);
// Encodes source from pos (0-based, advanced past the bytes taken) into one D data field:
// stops at the end of source, at 77 field bytes, or before a prefixed byte when the
// field already holds 76. Empty when pos is at or past the end. maxField serves the
// virtual calculator, whose frames may be shorter.
ByteString EncodeChunk(std::string_view source, std::size_t& pos, std::size_t maxField = MaxSendData);
// True when field could have come from the "#" prefix encoding of some file bytes: no
// raw control byte (0x00-0x1F, 0x7F and their 8-bit forms), and every "#" followed by
// "#", its 8-bit form 0xA3, or the prefixed form of a control byte. A damaged frame whose
// 6-bit check matched by chance often fails this.
bool IsEncodedData(std::string_view field);
// The file bytes of a received D data field; a lone "#" at the end yields 0x40, "#"
// before "#" or 0xA3 yields that byte, "#" before any other byte that byte XOR 0x40.
ByteString DecodeData(std::string_view field);

// "-> Frame Type=0x44 D  seq= 3" (direction "->" or "<-"): the trace line of a frame.
std::string FrameTraceLine(const char* direction, uint8_t type, int seq);
// "D seq 3 [41 23 40] check 2B" for test messages: a frame's fields, or why it is no frame.
std::string DescribeFrame(std::string_view frame);

} // namespace kermit
