#!/usr/bin/env python3
"""Faulty-link soak: the same transfers through the same damage, against `calvyx-cli serve`
and against a reference server, kind by kind.

The calculator's side is C-Kermit (the settings of tests/scripts/lib/calculator.ksc:
LEN-80 packets, window 1, block check 1) for the Kermit kinds and lrzsz `rx` for the
XModem send. Between the two a relay drops, corrupts and duplicates bytes at a rate. The
kinds:
  push    the calculator sends a file to the server     (reference: C-Kermit as server)
  fetch   the calculator GETs a file from the server    (reference: C-Kermit as server)
  xmodem  the server sends its XModem file to `rx`      (reference: lrzsz `sx`)

Every transfer has a fresh server process, fresh pseudo-terminals, a fresh relay and
fresh folders. Transfer i of a kind has its own seed: the file (size and bytes) comes
from (seed, kind, i), the damage from (seed, kind, rate, i) with one random stream per
direction, so byte k of each direction meets the same fate with either server. The two
servers take turns transfer by transfer, so a busy machine slows both alike.

Per transfer: the client reports success or failure, or does not end within --limit
seconds (a hang); a file reported done is compared with what was sent. One that differs
is explained when the relay's records show a frame in the data's direction, damaged on
the way, whose 6-bit block check still matched (a frame with a valid check that the
sender never sent): the protocol's own limit, counted the same way for both servers. Any
other difference is a fault, and a fetch reported done that differs is the worst one. A
failed Kermit transfer in which the server sent no E packet and at some point stayed
silent for 10 s or more while the client went on sending counts as "silent". A failed
push must leave nothing partial in the served folder once the server has stopped, nor
any other new name. The
server's CPU over the second after each transfer, and over 3 idle seconds after a clean
push through a quiet relay that ends each row (the server still answers), finds spinning.

The table has one row per kind and rate, the two servers side by side: transfers, intact
completions, failures, hangs, files reported done that differ (explained by the 6-bit
check / other), silent give-ups and the median time of the intact ones. --json FILE also
writes it, with every transfer's record. Exit 1 when calvyx has a hang, an unexplained
difference or another problem.

Usage: bench/faulty-link-soak.py [--build DIR] [--quick] [--transfers N per kind]
                                 [--kinds push,fetch,xmodem] [--rates 0.001,0.01,0.03] [--size BYTES]
                                 [--seed S] [--limit SECONDS] [--json FILE] [--keep]
"""
import argparse, json, os, random, select, shutil, statistics, subprocess, sys, tempfile, threading, time, tty

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CALCULATOR_SETTINGS = os.path.join(TOP, "tests", "scripts", "lib", "calculator.ksc")
KINDS = ("push", "fetch", "xmodem")
REFERENCE = {"push": "C-Kermit", "fetch": "C-Kermit", "xmodem": "sx"}
SILENT_AFTER = 10  # seconds the client goes on after the server's last byte


class Relay:
    """Copies bytes between two pseudo-terminal masters, damaging them at a rate, with one
    random stream per direction. Records both directions as sent and as delivered, and
    when each direction carried bytes."""

    def __init__(self, a, b, rngs, folder):
        self.a, self.b, self.rngs = a, b, rngs
        self.rate = 0.0
        self.stop = False
        self.times = {"to_server": [], "to_client": []}  # when each read in a direction came
        self.records = {d: (open(os.path.join(folder, d + ".sent"), "wb"),
                            open(os.path.join(folder, d + ".delivered"), "wb")) for d in self.times}
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def damage(self, data, rng):
        out = bytearray()
        for c in data:
            r = rng.random()
            if r < self.rate / 3:
                continue  # dropped
            if r < 2 * self.rate / 3:
                out.append(c ^ (1 << rng.randrange(8)))  # one bit flipped
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
                self.times[d].append(time.monotonic())
                out = self.damage(data, self.rngs[d])
                sent, delivered = self.records[d]
                sent.write(data); delivered.write(out)
                sent.flush(); delivered.flush()
                try:
                    os.write(dest, out)
                except OSError:
                    pass

    def close(self):
        self.stop = True
        self.thread.join()
        for f in self.records.values():
            f[0].close(); f[1].close()


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


def read(path):
    with open(path, "rb") as f:
        return f.read()


def forged_frames(folder, direction):
    """Frames delivered with a valid 6-bit check that the sender never sent."""
    genuine = set(packets(read(os.path.join(folder, direction + ".sent"))))
    return [p for p in packets(read(os.path.join(folder, direction + ".delivered"))) if check_ok(p) and p not in genuine]


def sent_error_packet(folder):
    """Whether the server sent an E packet (as it sent it, damaged or not on the way)."""
    return any(len(p) > 2 and p[2] == ord("E") for p in packets(read(os.path.join(folder, "to_client.sent"))))


def longest_quiet(relay, started, ended):
    """The longest time the server sent nothing while the client sent at least twice."""
    server = [t for t in relay.times["to_client"] if started <= t <= ended]
    client = relay.times["to_server"]
    marks = [started] + server + [ended]
    return max([b - a for a, b in zip(marks, marks[1:]) if sum(a < t < b for t in client) >= 2], default=0.0)


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


def cpu_percent(pid, seconds):
    """The process's CPU over the next seconds, in % of a core (None once it is gone)."""
    try:
        t0 = cpu_ticks(pid); time.sleep(seconds); t1 = cpu_ticks(pid)
    except (OSError, IndexError):
        return None
    return (t1 - t0) / os.sysconf("SC_CLK_TCK") / seconds * 100


def make_file(seed, kind, index, size=None):
    """The file of transfer index: random bytes of a random size (from empty to 12 KB), or
    of the size given."""
    rng = random.Random(f"{seed}/{kind}/{index}")
    if size is None:
        size = rng.choice([0, 1, rng.randrange(2, 200), rng.randrange(200, 3000), rng.randrange(3000, 12000)])
    return rng.randbytes(size)


def wait_for_text(path, texts, proc, limit):
    """Waits (bounded) until the server's log shows that it is ready."""
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        if proc.poll() is not None:
            return False
        with open(path, "rb") as f:
            if any(t in f.read() for t in texts):
                return True
        time.sleep(0.05)
    return False


def stop(proc, limit=10):
    """SIGTERM, then SIGKILL after limit seconds; says whether SIGTERM was enough."""
    if proc.poll() is not None:
        return True
    proc.terminate()
    try:
        proc.wait(timeout=limit)
        return True
    except subprocess.TimeoutExpired:
        proc.kill(); proc.wait()
        return False


def start_server(server, kind, line, served, data, folder, args):
    log = os.path.join(folder, "server.log")
    out = open(log, "wb")
    if server == "calvyx":
        cmd = [os.path.join(args.build, "tools", "calvyx-cli"), "serve", "--port", line, "--dir", served]
        if kind == "xmodem":
            xfile = os.path.join(folder, "XMODEM.QVA")
            with open(xfile, "wb") as f:
                f.write(data)
            cmd += ["--xmodem-file", xfile]
        proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)
        ready = [b"Serving "]
    elif kind == "xmodem":
        xfile = os.path.join(folder, "XMODEM.QVA")
        with open(xfile, "wb") as f:
            f.write(data)
        fd = os.open(line, os.O_RDWR | os.O_NOCTTY)
        # sx waits for the receiver's start byte: it is ready once it runs.
        proc = subprocess.Popen(["sx", "-b", "-X", xfile], stdin=fd, stdout=fd, stderr=out, cwd=folder)
        os.close(fd)
        return proc
    else:
        script = os.path.join(folder, "server.ksc")
        with open(script, "w") as f:
            f.write(kermit_script(line, served, "server", "").replace("if fail exit 1\n", ""))
        proc = subprocess.Popen(["kermit", script, "-Y"], stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)
        ready = [b"Entering server mode"]
    if not wait_for_text(log, ready, proc, 15):
        stop(proc)
        sys.exit(f"FAIL: the {server} server did not start (see {log})")
    return proc


def start_client(kind, line, calc, name, folder):
    if kind == "xmodem":
        fd = os.open(line, os.O_RDWR | os.O_NOCTTY)
        proc = subprocess.Popen(["rx", "-b", "-X", "-t", "50", name], cwd=calc, stdin=fd, stdout=fd,
                                stderr=open(os.path.join(folder, "client.log"), "wb"))
        os.close(fd)
        return proc
    script = os.path.join(folder, "client.ksc")
    with open(script, "w") as f:
        f.write(kermit_script(line, calc, "send" if kind == "push" else "get", name))
    return subprocess.Popen(["kermit", script, "-Y"], stdin=subprocess.DEVNULL,
                            stdout=open(os.path.join(folder, "client.log"), "wb"), stderr=subprocess.STDOUT)


def clean_push(line, calc, served, folder):
    """A push through the quiet relay: whether the server still takes a file intact."""
    want = b"clean push after the noise\n" * 40
    with open(os.path.join(calc, "CLEAN.BIN"), "wb") as f:
        f.write(want)
    script = os.path.join(folder, "clean.ksc")
    with open(script, "w") as f:
        f.write(kermit_script(line, calc, "send", "CLEAN.BIN"))
    try:
        rc = subprocess.run(["kermit", script, "-Y"], stdin=subprocess.DEVNULL, capture_output=True, timeout=120).returncode
    except subprocess.TimeoutExpired:
        return False
    path = os.path.join(served, "CLEAN.BIN")
    return rc == 0 and os.path.exists(path) and read(path) == want


def transfer(server, kind, rate, index, data, args, work, last_of_row):
    """One transfer on a fresh server; returns its record and the problems it showed."""
    folder = os.path.join(work, f"{kind}-{rate}-{index:03d}-{server}")
    served, calc = os.path.join(folder, "served"), os.path.join(folder, "calc")
    os.makedirs(served); os.makedirs(calc)
    ma, sa = os.openpty(); mb, sb = os.openpty()
    for fd in (ma, sa, mb, sb):
        tty.setraw(fd)
    client_line, server_line = os.ttyname(sa), os.ttyname(sb)
    rngs = {d: random.Random(f"{args.seed}/{kind}/{rate}/{index}/{d}") for d in ("to_server", "to_client")}
    relay = Relay(ma, mb, rngs, folder)
    problems = []
    name = {"push": "F", "fetch": "G", "xmodem": "X"}[kind] + f"{index:03d}" + (".QVA" if kind == "xmodem" else ".BIN")
    if kind == "push":
        src, dst = os.path.join(calc, name), os.path.join(served, name)
    elif kind == "fetch":
        src, dst = os.path.join(served, name), os.path.join(calc, name)
    else:
        src, dst = None, os.path.join(calc, name)
    if src:
        with open(src, "wb") as f:
            f.write(data)
    rec = dict(server=server, kind=kind, rate=rate, index=index, size=len(data), reported_done=False,
               intact=False, hung=False, seconds=None, differs=None, explained=None, silent=False,
               forged_frames_to_server=0, forged_frames_to_client=0, cpu_after=None)
    proc_server = client = None
    try:
        proc_server = start_server(server, kind, server_line, served, data, folder, args)
        relay.rate = rate
        started = time.monotonic()
        client = start_client(kind, client_line, calc, name, folder)
        try:
            rc = client.wait(timeout=args.limit)
        except subprocess.TimeoutExpired:
            client.kill(); client.wait()
            rc = None
            rec["hung"] = True
            problems.append(f"the client did not end within {args.limit} s")
        ended = time.monotonic()
        rec["seconds"] = round(ended - started, 2)
        # The second after: the server ends its side; it must not spin meanwhile.
        rec["cpu_after"] = cpu_percent(proc_server.pid, 1.0)
        if rec["cpu_after"] is not None and rec["cpu_after"] > 50:
            problems.append(f"the server used {rec['cpu_after']:.0f} % of a core in the second after the transfer")
        relay.rate = 0.0
        rec["forged_frames_to_server"] = len(forged_frames(folder, "to_server"))
        rec["forged_frames_to_client"] = len(forged_frames(folder, "to_client"))
        data_direction = "to_server" if kind == "push" else "to_client"
        if rc == 0:
            rec["reported_done"] = True
            got = read(dst) if os.path.exists(dst) else None
            if kind == "xmodem":  # the last block is padded with SUB
                same = got is not None and got.startswith(data) and not got[len(data):].strip(b"\x1a")
            else:
                same = got == data
            rec["intact"] = same
            rec["differs"] = not same
            if not same:
                rec["explained"] = kind != "xmodem" and rec[f"forged_frames_{data_direction}"] > 0
                if not rec["explained"]:
                    problems.append(f"{name}: reported done, differs ({len(data)} bytes sent, "
                                    f"{len(got) if got is not None else 'none'} stored)")
        if kind != "xmodem":
            rec["server_quiet_s"] = round(longest_quiet(relay, started, ended), 1)
            rec["silent"] = (rc is not None and rc != 0 and not sent_error_packet(folder)
                             and rec["server_quiet_s"] >= SILENT_AFTER)
        if server == "calvyx" and proc_server.poll() is not None:
            problems.append(f"the server ended by itself (exit {proc_server.returncode})")
        # sx is no server: it has nothing more to answer.
        if last_of_row and proc_server.poll() is None and not (kind == "xmodem" and server != "calvyx"):
            time.sleep(2)  # the server's own time-outs run out through the quiet relay
            rec["clean_push"] = clean_push(client_line, calc, served, folder)
            if not rec["clean_push"]:
                problems.append("the clean push after the noise failed")
            rec["idle_cpu"] = cpu_percent(proc_server.pid, 3.0)
            if rec["idle_cpu"] is not None and rec["idle_cpu"] > 5:
                problems.append(f"the idle server uses {rec['idle_cpu']:.1f} % of a core")
        if proc_server.poll() is None:
            ended_on_term = stop(proc_server)
            if server == "calvyx" and not ended_on_term:
                problems.append("the server did not end on SIGTERM")
            elif server == "calvyx" and proc_server.returncode != 0:
                problems.append(f"the server ended with {proc_server.returncode} on SIGTERM")
        # Once the server has stopped: nothing partial, no stray names.
        left = set(os.listdir(served)) - {"CLEAN.BIN"}
        if kind == "push":
            if not rec["reported_done"] and name in left and read(dst) != data:
                problems.append(f"push {name} failed but the served folder holds a different {name}")
            left.discard(name)
        elif kind == "fetch":
            left.discard(name)
        if left:
            problems.append(f"unexpected names in the served folder: {sorted(left)}")
    finally:
        for p in (client, proc_server):
            if p is not None and p.poll() is None:
                p.kill(); p.wait()
        relay.close()
        for fd in (ma, sa, mb, sb):
            os.close(fd)
    rec["problems"] = problems
    return rec


def summarise(records):
    intact_times = [r["seconds"] for r in records if r["intact"]]
    row = dict(transfers=len(records),
               intact=sum(r["intact"] for r in records),
               failed=sum(not r["reported_done"] and not r["hung"] for r in records),
               hung=sum(r["hung"] for r in records),
               differs_6bit=sum(bool(r["differs"]) and bool(r["explained"]) for r in records),
               differs_other=sum(bool(r["differs"]) and not r["explained"] for r in records),
               silent=sum(r["silent"] for r in records),
               median_s=round(statistics.median(intact_times), 2) if intact_times else None,
               clean_push=None, idle_cpu=None, problems=sum(len(r["problems"]) for r in records))
    for r in records:
        if "clean_push" in r:
            row["clean_push"], row["idle_cpu"] = r["clean_push"], r["idle_cpu"]
    return row


def print_table(rows):
    cols = ("n", "intact", "failed", "hung", "6-bit", "other", "silent", "median s", "clean")
    head = " ".join(f"{c:>{w}}" for c, w in zip(cols, (3, 6, 6, 4, 5, 5, 6, 8, 5)))
    print(f"{'':6} {'':5} | {'calvyx':^{len(head)}} | {'reference':^{len(head)}}")
    print(f"{'kind':6} {'rate':>5} | {head} | {head}")

    def cells(s):
        med = f"{s['median_s']:.1f}" if s["median_s"] is not None else "-"
        clean = "-" if s["clean_push"] is None else "ok" if s["clean_push"] else "FAIL"
        vals = (s["transfers"], s["intact"], s["failed"], s["hung"], s["differs_6bit"], s["differs_other"],
                s["silent"], med, clean)
        return " ".join(f"{v:>{w}}" for v, w in zip(vals, (3, 6, 6, 4, 5, 5, 6, 8, 5)))

    for row in rows:
        print(f"{row['kind']:6} {row['rate'] * 100:4g}% | {cells(row['calvyx'])} | {cells(row['reference'])}"
              f"  ({REFERENCE[row['kind']]})")
    print("6-bit / other: files reported done that differ from what was sent, explained by a damaged frame "
          "whose 6-bit block check still matched (the protocol's limit) / not explained (a fault); "
          "silent: failed with no E packet from the server, which stayed silent for "
          f"{SILENT_AFTER} s or more while the client went on sending; median s: of the intact transfers; "
          "clean: a clean push through the quiet relay after the row's last transfer.")


def main():
    ap = argparse.ArgumentParser(description="Faulty-link soak of calvyx-cli serve beside reference servers.")
    ap.add_argument("--build", default=os.path.join(TOP, "build"))
    ap.add_argument("--quick", action="store_true", help="5 transfers per kind and rate")
    ap.add_argument("--transfers", type=int, default=20, help="transfers per kind and rate")
    ap.add_argument("--size", type=int, default=None, help="every file this many bytes (default: sizes from 0 to 12 KB)")
    ap.add_argument("--kinds", default=",".join(KINDS), help="some of push,fetch,xmodem")
    ap.add_argument("--rates", default="0.001,0.01,0.03")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--limit", type=int, default=300, help="seconds a transfer may take before it is a hang")
    ap.add_argument("--json", metavar="FILE", help="also write the table and every transfer's record here")
    ap.add_argument("--keep", action="store_true", help="keep the work folder (the relay's records, the logs)")
    args = ap.parse_args()
    kinds = [k for k in args.kinds.split(",") if k]
    if not kinds or any(k not in KINDS for k in kinds):
        sys.exit(f"--kinds: some of {','.join(KINDS)}")
    rates = [float(r) for r in args.rates.split(",")]
    transfers = 5 if args.quick else args.transfers
    if transfers < 1:
        sys.exit("--transfers: at least 1")
    needed = ["kermit"] + (["rx", "sx"] if "xmodem" in kinds else [])
    for tool in needed:
        if not shutil.which(tool):
            sys.exit(f"FAIL: {tool} not installed (tools/setup-debian.sh installs it)")
    if not os.access(os.path.join(args.build, "tools", "calvyx-cli"), os.X_OK):
        sys.exit(f"FAIL: no {args.build}/tools/calvyx-cli (build it first)")
    work = tempfile.mkdtemp(prefix="calvyx-soak-")
    rows, records, bad = [], [], False
    for rate in rates:
        for kind in kinds:
            per = {"calvyx": [], "reference": []}
            for i in range(transfers):
                data = make_file(args.seed, kind, i, args.size)
                for server in ("calvyx", "reference"):
                    rec = transfer(server if server == "calvyx" else REFERENCE[kind], kind, rate, i, data, args,
                                   work, i == transfers - 1)
                    rec["side"] = server
                    per[server].append(rec); records.append(rec)
                    outcome = ("hung" if rec["hung"] else "intact" if rec["intact"] else
                               "DIFFERS" if rec["differs"] else "failed" + (" (silent)" if rec["silent"] else ""))
                    print(f"  {kind} {rate * 100:g} % #{i} {rec['server']}: {len(data)} bytes, {outcome}, "
                          f"{rec['seconds']} s", flush=True)
                    for p in rec["problems"]:
                        print(f"    {rec['server']}: {p}", flush=True)
                    if server == "calvyx" and (rec["problems"] or rec["hung"]):
                        bad = True
            rows.append(dict(kind=kind, rate=rate, reference_server=REFERENCE[kind],
                             calvyx=summarise(per["calvyx"]), reference=summarise(per["reference"])))
    print()
    print_table(rows)
    if args.json:
        with open(args.json, "w") as f:
            json.dump(dict(seed=args.seed, transfers_per_kind=transfers, rates=rates, kinds=kinds, limit=args.limit,
                           rows=rows, records=records), f, indent=1)
        print("JSON:", args.json)
    print("records:", work if args.keep else "(removed; --keep keeps them)")
    if not args.keep:
        shutil.rmtree(work, ignore_errors=True)
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
