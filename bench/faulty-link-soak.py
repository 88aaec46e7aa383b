#!/usr/bin/env python3
"""Faulty-link soak: C-Kermit plays the calculator (LEN-80 packets, window 1, block check
1) against `calvyx-cli serve` through a relay that drops, corrupts and duplicates bytes
at seeded rates; then the same seeds against C-Kermit as the server, for comparison. One
kermit process per transfer: pushes and fetches of files of random sizes, and lrzsz `rx`
receiving the XModem send through the same relay.

After every transfer: a file the peer reports complete is byte-identical; a push that
failed left nothing under its name and no other new name in the served folder (no
partial or temporary file); a client that does not end within its limit is a hang. After
each rate: a clean push through a quiet relay must work (the server still answers), and
the server must not spin (its CPU over a few idle seconds).

A corrupted file is explained when the relay's records show a frame, damaged on the way,
whose 6-bit block check still matched (a frame with a valid check that the sender never
sent): the protocol's own limit, which hits C-Kermit as server the same way. Any other
corrupted file is a fault. The relay records both directions, as sent and as delivered,
in the work folder (--keep keeps it).

Usage: bench/faulty-link-soak.py [--build DIR] [--quick] [--transfers N] [--rates 0.001,0.01,0.03]
                                 [--seed S] [--keep]
"""
import argparse, os, random, select, shutil, subprocess, sys, tempfile, threading, time, tty

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CALCULATOR_SETTINGS = os.path.join(TOP, "tests", "scripts", "lib", "calculator.ksc")


class Relay:
    """Copies bytes between two pseudo-terminal masters, damaging them at a rate."""

    def __init__(self, a, b, rng, folder):
        self.a, self.b, self.rng = a, b, rng
        self.rate = 0.0
        self.stop = False
        self.records = {}
        for d in ("to_server", "to_client"):
            self.records[d] = (open(os.path.join(folder, d + ".sent"), "ab"),
                               open(os.path.join(folder, d + ".delivered"), "ab"))
        self.marks = {"to_server": [0, 0], "to_client": [0, 0]}
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def damage(self, data):
        out = bytearray()
        for c in data:
            r = self.rng.random()
            if r < self.rate / 3:
                continue  # dropped
            if r < 2 * self.rate / 3:
                out.append(c ^ (1 << self.rng.randrange(8)))  # one bit flipped
            elif r < self.rate:
                out += bytes([c, c])  # duplicated
            else:
                out.append(c)
        return bytes(out)

    def run(self):
        pairs = {self.a: (self.b, "to_server"), self.b: (self.a, "to_client")}
        while not self.stop:
            ready, _, _ = select.select([self.a, self.b], [], [], 0.2)
            for fd in ready:
                try:
                    data = os.read(fd, 4096)
                except OSError:
                    continue
                dest, d = pairs[fd]
                out = self.damage(data)
                sent, delivered = self.records[d]
                sent.write(data)
                delivered.write(out)
                sent.flush(); delivered.flush()
                try:
                    os.write(dest, out)
                except OSError:
                    pass

    def mark(self):
        """Positions in the records: what follows belongs to the next transfer."""
        return {d: (f[0].tell(), f[1].tell()) for d, f in self.records.items()}


def packets(stream):
    """Kermit packets in a byte stream: from the mark (0x01) to the end of its length."""
    out = []
    i = stream.find(b"\x01")
    while i >= 0 and i + 2 < len(stream):
        n = stream[i + 1] - 32
        if 3 <= n <= 94 and i + 2 + n <= len(stream):
            out.append(stream[i + 1:i + 2 + n])  # LEN .. check
        i = stream.find(b"\x01", i + 1)
    return out


def check_ok(p):
    s = sum(p[:-1])
    return p[-1] - 32 == ((s + ((s & 192) >> 6)) & 63)


def forged_frames(folder, start, end, direction):
    """Frames delivered with a valid 6-bit check that the sender never sent."""
    with open(os.path.join(folder, direction + ".sent"), "rb") as f:
        f.seek(start[0]); sent = f.read(end[0] - start[0])
    with open(os.path.join(folder, direction + ".delivered"), "rb") as f:
        f.seek(start[1]); delivered = f.read(end[1] - start[1])
    genuine = set(packets(sent))
    return [p for p in packets(delivered) if check_ok(p) and p not in genuine]


def kermit_script(line, calc, verb, name):
    return f"""set line {line}
take {CALCULATOR_SETTINGS}
set file incomplete discard
cd {calc}
{verb} {name}
if fail exit 1
exit 0
"""


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def soak(server_kind, rate, transfers, seed, args, work):
    folder = os.path.join(work, f"{server_kind}-{rate}")
    served, calc = os.path.join(folder, "served"), os.path.join(folder, "calc")
    os.makedirs(served); os.makedirs(calc)
    ma, sa = os.openpty(); mb, sb = os.openpty()
    tty.setraw(sa); tty.setraw(sb); tty.setraw(ma); tty.setraw(mb)
    client_line, server_line = os.ttyname(sa), os.ttyname(sb)
    relay = Relay(ma, mb, random.Random(seed * 7 + 1), folder)
    rng = random.Random(seed)
    xfile = os.path.join(folder, "XMODEM.QVA")
    with open(xfile, "wb") as f:
        f.write(bytes(rng.randrange(256) for _ in range(3000)))
    if server_kind == "calvyx":
        server = subprocess.Popen([os.path.join(args.build, "tools", "calvyx-cli"), "serve", "--port", server_line,
                                   "--dir", served, "--xmodem-file", xfile],
                                  stdout=open(os.path.join(folder, "serve.log"), "w"), stderr=subprocess.STDOUT)
    else:
        script = os.path.join(folder, "server.ksc")
        with open(script, "w") as f:
            f.write(kermit_script(server_line, served, "server", "").replace("if fail exit 1\n", ""))
        server = subprocess.Popen(["kermit", script, "-Y"], stdin=subprocess.DEVNULL,
                                  stdout=open(os.path.join(folder, "serve.log"), "w"), stderr=subprocess.STDOUT)
    time.sleep(1.5)
    relay.rate = rate
    stats = dict(tried=0, completed=0, failed=0, hung=0, explained=0, other=0, fetch_tried=0, fetch_ok=0)
    problems = []
    expected = set()
    kinds = ["push", "fetch", "push", "fetch"] + (["xmodem"] if server_kind == "calvyx" else [])
    for t in range(transfers):
        kind = kinds[t % len(kinds)]
        size = rng.choice([0, 1, rng.randrange(2, 200), rng.randrange(200, 3000), rng.randrange(3000, 12000)])
        data = bytes(rng.randrange(256) for _ in range(size))
        name = f"F{t:03d}.BIN"
        before = relay.mark()
        stats["tried"] += 1
        if kind == "push":
            with open(os.path.join(calc, name), "wb") as f:
                f.write(data)
        elif kind == "fetch":
            stats["fetch_tried"] += 1
            with open(os.path.join(served, name), "wb") as f:
                f.write(data)
            expected.add(name)
        if kind == "xmodem":
            name = f"X{t:03d}.QVA"
            cmd = ["rx", "-b", "-X", "-t", "50", name]
            proc = subprocess.Popen(cmd, cwd=calc, stdin=os.open(client_line, os.O_RDWR | os.O_NOCTTY),
                                    stdout=os.open(client_line, os.O_RDWR | os.O_NOCTTY), stderr=subprocess.DEVNULL)
        else:
            script = os.path.join(folder, f"t{t}.ksc")
            with open(script, "w") as f:
                f.write(kermit_script(client_line, calc, "send" if kind == "push" else "get", name))
            proc = subprocess.Popen(["kermit", script, "-Y"], stdin=subprocess.DEVNULL,
                                    stdout=open(os.path.join(folder, f"t{t}.log"), "w"), stderr=subprocess.STDOUT)
        try:
            rc = proc.wait(timeout=args.limit)
        except subprocess.TimeoutExpired:
            proc.kill(); proc.wait()
            stats["hung"] += 1
            problems.append(f"{kind} {name}: the client did not end within {args.limit} s")
            time.sleep(3)
            continue
        time.sleep(0.3)  # the server ends its side
        after = relay.mark()
        if kind == "push":
            src, dst = os.path.join(calc, name), os.path.join(served, name)
            direction = "to_server"
        elif kind == "fetch":
            src, dst = os.path.join(served, name), os.path.join(calc, name)
            direction = "to_client"
        else:
            src, dst = xfile, os.path.join(calc, name)
            direction = "to_client"
        if rc == 0:
            stats["completed"] += 1
            if kind == "fetch":
                stats["fetch_ok"] += 1
            got = open(dst, "rb").read() if os.path.exists(dst) else None
            want = open(src, "rb").read()
            same = got == want if kind != "xmodem" else (got is not None and got.startswith(want) and
                                                        not got[len(want):].strip(b"\x1a"))
            if not same:
                forged = forged_frames(folder, before[direction], after[direction], direction)
                if forged and kind != "xmodem":
                    stats["explained"] += 1
                else:
                    stats["other"] += 1
                    problems.append(f"{kind} {name}: reported complete, differs ({len(want)} vs "
                                    f"{len(got) if got is not None else 'none'} bytes)")
            if kind == "push":
                expected.add(name)
        else:
            stats["failed"] += 1
            if kind == "push" and os.path.exists(dst):
                problems.append(f"push {name}: failed but the served folder holds {name}")
        extra = set(os.listdir(served)) - expected
        if extra:
            problems.append(f"after {kind} {name}: unexpected names in the served folder: {sorted(extra)}")
            expected |= extra
        time.sleep(0.5)
    # A clean push through a quiet relay: the server still answers.
    relay.rate = 0.0
    time.sleep(2)
    with open(os.path.join(calc, "CLEAN.BIN"), "wb") as f:
        f.write(b"clean push after the noise\n" * 40)
    script = os.path.join(folder, "clean.ksc")
    with open(script, "w") as f:
        f.write(kermit_script(client_line, calc, "send", "CLEAN.BIN"))
    clean = subprocess.run(["kermit", script, "-Y"], stdin=subprocess.DEVNULL, capture_output=True, timeout=120).returncode == 0
    clean = clean and open(os.path.join(served, "CLEAN.BIN"), "rb").read() == open(os.path.join(calc, "CLEAN.BIN"), "rb").read()
    if not clean:
        problems.append("the clean push after the noise failed")
    # Spinning: the server's CPU over 3 idle seconds.
    t0 = cpu_ticks(server.pid); time.sleep(3); idle = (cpu_ticks(server.pid) - t0) / os.sysconf("SC_CLK_TCK") / 3 * 100
    if idle > 5:
        problems.append(f"the idle server uses {idle:.1f} % of a core")
    server.terminate()
    try:
        server.wait(timeout=10)
    except subprocess.TimeoutExpired:
        server.kill(); problems.append("the server did not end on SIGTERM")
    relay.stop = True; relay.thread.join()
    for fd in (ma, sa, mb, sb):
        os.close(fd)
    stats.update(clean=clean, idle=idle)
    return stats, problems


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(TOP, "build"))
    ap.add_argument("--quick", action="store_true", help="10 transfers per rate and server")
    ap.add_argument("--transfers", type=int, default=60)
    ap.add_argument("--rates", default="0.001,0.01,0.03")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--limit", type=int, default=300, help="seconds a transfer may take before it is a hang")
    ap.add_argument("--keep", action="store_true")
    args = ap.parse_args()
    for tool in ("kermit", "rx"):
        if not shutil.which(tool):
            sys.exit(f"FAIL: {tool} not installed (tools/setup-debian.sh installs it)")
    transfers = 10 if args.quick else args.transfers
    work = tempfile.mkdtemp(prefix="calvyx-soak-")
    rows, bad = [], False
    for rate in [float(r) for r in args.rates.split(",")]:
        for kind in ("calvyx", "ckermit"):
            stats, problems = soak(kind, rate, transfers, args.seed, args, work)
            rows.append((rate, kind, stats))
            for p in problems:
                print(f"  {kind} at {rate * 100:g} %: {p}")
            if kind == "calvyx" and (problems or stats["hung"] or stats["other"]):
                bad = True
    print(f"{'rate':>6} {'server':8} {'tried':>5} {'done':>5} {'failed':>6} {'hung':>4} "
          f"{'corrupt:6-bit':>13} {'other':>5} {'fetches ok':>10} {'clean push':>10} {'idle CPU':>8}")
    for rate, kind, s in rows:
        print(f"{rate * 100:5g}% {kind:8} {s['tried']:5} {s['completed']:5} {s['failed']:6} {s['hung']:4} "
              f"{s['explained']:13} {s['other']:5} {s['fetch_ok']:>4}/{s['fetch_tried']:<5} "
              f"{'ok' if s['clean'] else 'FAILED':>10} {s['idle']:7.1f}%")
    print("corrupt:6-bit = files reported complete that differ, each explained by a damaged frame whose 6-bit "
          "block check still matched (the protocol's limit, not a fault); other must be 0.")
    print("records:", work if args.keep else "(removed; --keep keeps them)")
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
