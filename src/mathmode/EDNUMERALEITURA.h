// The spoken reading of a math line (Ctrl+F9) and the sound graph of a function table.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct Editor;

// Ctrl+F9: the statement on the cursor line said in words, an error line written by a
// run said as its error, or a function table (\READFUNCTION{name};) played as tones.
void leituraLinha(Editor& e);
// A table written by EVALUATE (its lines) played as a tone sequence: the pitch follows
// the function's value, each tone lasting longer where the function changes faster. A key
// stops it. False when the table has fewer than two points.
bool graficoSonoro(Editor& e, const std::vector<std::string>& tabela);

// One tone of the sound graph: its frequency (Hz) and length (ms).
struct TomGrafico {
    int hz = 0, ms = 0;
    bool operator==(const TomGrafico&) const = default;
};
// The tones of a table's points (x, y), one for each point from the second on.
std::vector<TomGrafico> tonsDoGrafico(const std::vector<std::pair<double, double>>& pontos);
// The reading's prompt names (LEITURA, PALABRAS, FUNCIONES).
std::vector<std::string> promptsLeitura();
