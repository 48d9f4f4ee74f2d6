// Ending the program from outside: SIGTERM, SIGHUP (the terminal closed), SIGINT and
// SIGQUIT. The handler only notes the signal; the program notices it where it waits for
// input and ends through its ordinary path, after keeping what must not be lost. A second
// such signal ends the program at once, for a program that cannot get that far.
#pragma once

// Installed once, before any front-end (a library that would install its own handlers
// leaves these alone). Signals ignored when the program started (nohup) stay ignored.
void instalaSinaisFim();
// The signal that asked the program to end; 0 while none came.
int sinalFim();
// Run by a second signal before the program ends at once; it must be async-signal-safe
// (it puts the terminal back). nullptr: nothing.
void defineRestauroImediato(void (*restauro)());
