#include "platform/frontEnds.h"

#ifndef PLUMAR_COM_SDL
// This build has no SDL: there is no window to open.
std::unique_ptr<FrontEnd> criaFrontEndJanela() { return nullptr; }
#endif
