#include "speech/tts/uttsPreproc.h"

// Until the normalisation rules exist the text passes through unchanged.
bool PreprocTts::carregaAbreviaturas(const std::filesystem::path&) { return true; }

std::string PreprocTts::normaliza(std::string_view texto) const { return std::string(texto); }
