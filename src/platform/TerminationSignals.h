#pragma once
// SIGTERM, SIGINT and SIGHUP turned into a byte on a pipe, so that the program can end the
// normal way (its destructors remove the temporary folders) instead of dying where it
// stands. The handler only writes to the pipe, which is all a signal handler may safely do;
// the program watches the read end in its event loop.

// Installs the handlers (once) and returns the pipe's read end; -1 when it cannot. A
// second signal of the same kind, while the program is still ending, ends it at once.
int InstallTerminationSignals();
// Takes the bytes waiting on the pipe; returns the last signal number read, 0 for none.
int TakeTerminationSignal();
