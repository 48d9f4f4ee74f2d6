// The replies of the system's speech service in its text protocol, taken apart without a
// socket: the connection hands over the bytes it received and gets back lines, replies and
// events.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr size_t kMaiorLinhaSsip = 65536;  // an answer line longer than this is nonsense

struct RespostaSsip {
    int codigo = 0;  // 0: no answer (the connection is then closed)
    std::vector<std::string> dados;
    bool ok() const { return codigo >= 200 && codigo < 300; }
};

// The next whole line of `recebido` (without its CR LF or LF), taken off it; nothing while
// no line is complete.
std::optional<std::string> tiraLinhaSsip(std::string& recebido);

// An event's number and its lines, once its last line came.
using AoEventoSsip = std::function<void(int codigo, const std::vector<std::string>& dados)>;

enum class PassoSsip {
    Continua,  // the reply goes on
    Pronta,    // its last line came: `r.codigo` holds its code
    Absurda,   // not a line of a reply: the connection is to be given up
};
// One line of a reply: "NNN-data" lines are kept in `r`, a last "NNN text" gives the code.
// Lines of events (7xx) met on the way go to `evento`; an event's last line hands it to
// `aoEvento` and clears it.
PassoSsip recebeLinhaResposta(std::string_view linha, RespostaSsip& r,
                              std::vector<std::string>& evento, const AoEventoSsip& aoEvento);
// A line that came unasked: only a line of an event may. False for anything else.
bool recebeLinhaEvento(std::string_view linha, std::vector<std::string>& evento,
                       const AoEventoSsip& aoEvento);

struct VozSsip {
    std::string nome, lingua;
};
// The voices of the reply to LIST SYNTHESIS_VOICES: lines "name TAB language TAB variant";
// a line without a name before its first TAB is no voice.
std::vector<VozSsip> vozesDaLista(const std::vector<std::string>& dados);
