// The engine's exception dictionary ("portug.exc"): words the letter rules would get wrong,
// respelled ("MOLE=MÓLE|") before the stress is found and the rules are applied.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "speech/regras.h"

// Each line is upper-cased before it is split; at most Excecoes::kMaximo entries are kept.
std::optional<Excecoes> leExcecoesTts(const std::filesystem::path& arquivo);

// The upper-case word respelled: looked up whole, then without each final S or M until found
// (the stripped letters follow the replacement, so a plural keeps its S).
std::string aplicaExcecoesTts(std::string palavra, const Excecoes& excecoes);
