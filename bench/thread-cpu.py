#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Where a run's processor time goes, thread by thread: samples the process PID and every
# process it starts, ten times a second, until they have all ended, and prints for the
# busiest threads of each program the share of the run's wall time each spent on a core
# and waiting for one (runnable, from the kernel's schedstat). A thread whose two shares
# add up to nearly 100 % is bound by the processor: it would have run all the time.
# Usage: bench/thread-cpu.py PID [TOP]   (TOP busiest threads per program, default 2)
import os
import sys
import time

root = sys.argv[1]
top = int(sys.argv[2]) if len(sys.argv) > 2 else 2


def family():
    children = {}
    for pid in filter(str.isdigit, os.listdir('/proc')):
        try:
            stat = open(f'/proc/{pid}/stat').read()
        except OSError:
            continue
        children.setdefault(stat[stat.rindex(')') + 2:].split()[1], []).append(pid)
    found, todo = [], [root]
    while todo:
        pid = todo.pop()
        found.append(pid)
        todo += children.get(pid, [])
    return found


first, last = {}, {}  # (program, tid) -> (cpu ns, runnable ns)
start = end = None
known, looked = [], 0.0
deadline = time.time() + 900
while time.time() < deadline:
    if time.time() - looked > 1.0:
        known, looked = family(), time.time()
    alive = False
    for pid in known:
        try:
            stat = open(f'/proc/{pid}/stat').read()
            program = open(f'/proc/{pid}/comm').read().strip()
            tids = os.listdir(f'/proc/{pid}/task')
        except OSError:
            continue
        if stat[stat.rindex(')') + 2] == 'Z':
            continue
        alive = True
        for tid in tids:
            try:
                cpu, runnable, _ = map(int, open(f'/proc/{pid}/task/{tid}/schedstat').read().split())
            except (OSError, ValueError):
                continue
            first.setdefault((program, tid), (cpu, runnable))
            last[(program, tid)] = (cpu, runnable)
    if alive:
        start = start or time.time()
        end = time.time()
    elif start:
        break
    time.sleep(0.1)
if not start or end - start < 0.3:
    print("thread-cpu: the run was too short to sample")
    sys.exit(0)
wall = end - start
programs = {}
for key in last:
    cpu = (last[key][0] - first[key][0]) / 1e9
    runnable = (last[key][1] - first[key][1]) / 1e9
    programs.setdefault(key[0], []).append((cpu, runnable, key[1]))
for program, threads in sorted(programs.items()):
    threads.sort(reverse=True)
    total = sum(t[0] for t in threads)
    if total <= 0:
        continue  # a program that only waits for another (timeout, a wrapper)
    print(f"{program}: {len(threads)} threads, {100 * total / wall:.0f} % of one core in all over {wall:.1f} s")
    for cpu, runnable, tid in threads[:top]:
        print(f"  thread {tid}: {100 * cpu / wall:5.1f} % on a core, {100 * runnable / wall:5.1f} % waiting for one")
