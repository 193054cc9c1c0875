#include "TerminationSignals.h"

// Windows ends a windowed program with a message to its windows, which already closes them
// the normal way.
int InstallTerminationSignals() { return -1; }
int TakeTerminationSignal() { return 0; }
