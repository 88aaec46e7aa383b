#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The far end of the Windows serial test: makes a pseudo-terminal, links LINK to its
# device (Wine's dosdevices/comN), answers every "?" with "hello", and runs COMMAND...
# while it does; exits with COMMAND's code.
#   serial_peer.py LINK COMMAND...
import os, pty, select, subprocess, sys, termios, tty

link, command = sys.argv[1], sys.argv[2:]
master, slave = pty.openpty()
tty.setraw(slave)
if os.path.lexists(link):
    os.unlink(link)
os.symlink(os.ttyname(slave), link)
child = subprocess.Popen(command)
try:
    while child.poll() is None:
        ready, _, _ = select.select([master], [], [], 0.2)
        if master in ready:
            try:
                data = os.read(master, 256)
            except OSError:
                continue
            for _ in range(data.count(b"?")):
                os.write(master, b"hello")
    sys.exit(child.returncode)
finally:
    if child.poll() is None:
        child.kill()
    os.unlink(link)
