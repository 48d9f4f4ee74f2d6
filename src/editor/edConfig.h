// Options and configuration.
#pragma once

#include "editor/editor.h"

void painelConfiguracao(Editor& e);
void vozPropria(Editor& e);
void familiaConfiguracao(Editor& e);
// Alt+1..3: the speech server voice presets VOZ1..VOZ3.
void vozSapi(Editor& e, int preset);
