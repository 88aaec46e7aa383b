// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The link's wake-up signals (a read's cancel, a write's stop), one backend file per
// system: an eventfd on Linux, a manual-reset event on Windows (its handle fits an int,
// as every kernel handle does). An event stays signalled from the first Raise to the
// next Lower; -1 stands for none.
namespace linkevent {

int Make();
void Raise(int event);
void Lower(int event);
void Destroy(int event);
// A write to a device that has gone must fail, not end the program (SIGPIPE).
void PrepareProcess();

} // namespace linkevent
