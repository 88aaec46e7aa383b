#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into fuzz/corpus/<target>/: a few valid
inputs of each kind (screens in both layouts, good blocks of both sizes and checks, an
object header with a name, a whole wire receive) and a few near misses. Run it again
after changing an input format; the files are committed."""
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))
SOH, STX, EOT, CAN = 0x01, 0x02, 0x04, 0x18


def crc16_kermit(data):
    crc = 0
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0x8408 if crc & 1 else crc >> 1
    return crc


def block(number, data, crc=False):
    header = SOH if len(data) <= 128 else STX
    size = 128 if header == SOH else 1024
    data = bytes(data) + b"\x1a" * (size - len(data))
    n = number & 0xFF
    check = crc16_kermit(data).to_bytes(2, "big") if crc else bytes([sum(data) & 0xFF])
    return bytes([header, n, 255 - n]) + data + check


def kermit_frame(seq, kind, data=b""):
    """A Kermit frame as the calculator sends it: mark, LEN, SEQ, TYPE, data, 6-bit check, CR."""
    body = bytes([32 + 3 + len(data), 32 + seq, ord(kind)]) + data
    s = sum(body)
    return b"\x01" + body + bytes([32 + ((s + ((s & 192) >> 6)) & 63)]) + b"\r"


def screen(header, rng):
    return bytes([header, 0]) + bytes(rng.getrandbits(8) for _ in range(1088))


def name_object(name, declared=None):
    declared = len(name) if declared is None else declared
    return b"\x2a\x2a\x54\x49\x38\x33\x46\x2a" + bytes([declared]) + name + b"\x00\x10payload"


CANCEL_FIRST = 0x8000  # in a turn's length: the user presses Cancel before it


def turns(*parts):
    """Each part is bytes, or (bytes, True) for a turn that the user cancels first."""
    out = b""
    for p in parts:
        data, cancel = p if isinstance(p, tuple) else (p, False)
        out += (len(data) | (CANCEL_FIRST if cancel else 0)).to_bytes(2, "little") + data
    return out


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    rng = random.Random(20)
    # screen_image: [frame width][screen]
    write("screen_image", "rows", bytes([2]) + screen(0x00, rng))
    write("screen_image", "pages", bytes([3]) + screen(0x1B, rng))
    write("screen_image", "pushed", bytes([5]) + screen(0x80, rng))
    write("screen_image", "short", bytes([1]) + screen(0x1B, rng)[:500])

    # xmodem_block: [expected number, 2 bytes LE][mode: bit 0 CRC][block]
    data = bytes(rng.getrandbits(8) for _ in range(1024))
    write("xmodem_block", "soh-sum", bytes([1, 0, 0]) + block(1, data[:128]))
    write("xmodem_block", "stx-crc", bytes([3, 0, 1]) + block(3, data, crc=True))
    write("xmodem_block", "block-256", bytes([0, 1, 0]) + block(256, b"\xff" * 128))
    bad = bytearray(block(7, data[:100], crc=True))
    bad[2] ^= 0x40
    write("xmodem_block", "bad-complement", bytes([7, 0, 1]) + bytes(bad))

    # xmodem_send: [file | start byte | stop][answers: each [length (low 3 bits)][bytes]]
    ACK, NAK = 0x06, 0x15
    def answers(*chunks):
        return b"".join(bytes([len(c)]) + bytes(c) for c in chunks)
    write("xmodem_send", "all-acked", bytes([3]) + answers([ACK], [ACK], [ACK], [ACK], [ACK]))
    write("xmodem_send", "crc-nak-then-ack", bytes([2 | 4]) + answers([NAK], [ACK], [ACK], [ACK]))
    write("xmodem_send", "silent-then-stop", bytes([1 | 8]) + answers([], [], [ACK]))
    write("xmodem_send", "noise-and-can", bytes([3]) + answers([0x41, ACK], [ACK], [CAN]))
    write("xmodem_send", "eot-unanswered", bytes([0]) + answers([NAK], [], [], [], [], [], []))
    # received_name: the object itself
    write("received_name", "named", name_object(b"HELLOWORLD12"))
    write("received_name", "longest", name_object(b"N" * 35))
    write("received_name", "hostile", name_object(b"../etc/x\\y\x01."))
    write("received_name", "cut-short", name_object(b"SHORT", declared=30)[:14])

    # wire_receive: turns of [length, 2 bytes LE][bytes], each sent after the PC answered
    one = block(1, data[:128])
    # A regression input: the empty input (the calculator says nothing at all).
    write("wire_receive", "empty", b"")
    write("wire_receive", "one-block", turns(one, bytes([EOT])))
    write("wire_receive", "large-small", turns(block(1, data), block(2, data[:40]), bytes([EOT])))
    damaged = bytearray(one)
    damaged[50] ^= 0x01
    write("wire_receive", "damaged-resent", turns(bytes(damaged), one, bytes([EOT])))
    write("wire_receive", "two-bursts", turns(one[:60], one[60:], bytes([EOT])))
    write("wire_receive", "repeated", turns(one, one, block(2, data[128:256]), bytes([EOT])))
    write("wire_receive", "calculator-cancels", turns(one, bytes([CAN])))
    write("wire_receive", "user-cancels", turns(one, (block(2, data[:128]), True)))
    write("wire_receive", "not-ready", turns(*[b"\x00"] * 6))

    # kermit_frames: [cut: low 6 bits the longest read less one, bit 6 the user cancels at
    # the first progress, top bit slow reads][bytes]
    push = (kermit_frame(0, "S", b"~* @-#N1") + kermit_frame(1, "F", b"HELLO.QVA")
            + kermit_frame(2, "D", b"ab#M#Jcd##e") + kermit_frame(3, "Z") + kermit_frame(4, "B"))
    write("kermit_frames", "push", bytes([0x3F]) + push)
    write("kermit_frames", "push-in-bits", bytes([0x02]) + push)
    write("kermit_frames", "slow-reads", bytes([0x80 | 0x07]) + kermit_frame(0, "R", b"NOTES.QVA"))
    # A fetch of "A", one of the files the target's folder holds, and a push the user cancels.
    fetch = kermit_frame(0, "R", b"A") + kermit_frame(0, "Y", b"p* @-#N1")
    fetch += b"".join(kermit_frame(seq, "Y") for seq in range(1, 7))
    write("kermit_frames", "fetch", bytes([0x3F]) + fetch)
    write("kermit_frames", "push-cancelled", bytes([0x40 | 0x3F]) + push)
    bad = bytearray(kermit_frame(5, "D", b"payload"))
    bad[-2] ^= 0x01
    write("kermit_frames", "bad-check", bytes([0x3F]) + bytes(bad) + kermit_frame(5, "D", b"payload"))
    write("kermit_frames", "cut-by-new-mark", bytes([0x3F]) + kermit_frame(6, "D", b"lost")[:5] + kermit_frame(6, "D", b"kept"))
    write("kermit_frames", "xmodem-and-screen", bytes([0x3F, 0x15, ord("D"), 0x80]))


if __name__ == "__main__":
    main()
