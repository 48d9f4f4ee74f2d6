#include "platform/frontEnds.h"

// The console front-end of Windows (ReadConsoleInputW, WriteConsoleOutputW) is still to
// come: without it the editor runs headless or not at all.
std::unique_ptr<FrontEnd> criaFrontEndTerminal() { return nullptr; }
