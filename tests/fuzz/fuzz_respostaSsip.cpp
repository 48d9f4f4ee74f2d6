// Fuzz entry for the replies of the system's speech service: the input is what the service
// sent, handed over in two pieces (the first byte says where to cut) as a connection would.
// Lines never hold a line end; a reply ends with a code of its own, never an event's; each
// event is handed over whole, with its number; a voice list gives named voices only; and
// nonsense or an endless line ends the exchange, as the connection would be given up.
#include "fuzz.h"
#include "speech/servidores/respostaSsip.h"

int fuzzRespostaSsip(const uint8_t* dados, size_t tamanho) {
    if (tamanho == 0) return 0;
    const std::string_view tudo(reinterpret_cast<const char*>(dados + 1), tamanho - 1);
    const size_t corte = std::min<size_t>(dados[0], tudo.size());
    const AoEventoSsip aoEvento = [](int codigo, const std::vector<std::string>& linhas) {
        confirma(codigo >= 7 && codigo < 800 && !linhas.empty());
    };
    std::string recebido;
    std::vector<std::string> evento;
    RespostaSsip r;
    // While a reply is awaited every line belongs to it; after each reply one line is read
    // as if it came unasked, when only an event may.
    int respostas = 0;
    for (const std::string_view pedaco : {tudo.substr(0, corte), tudo.substr(corte)}) {
        recebido.append(pedaco);
        while (std::optional<std::string> linha = tiraLinhaSsip(recebido)) {
            confirma(linha->find('\n') == std::string::npos);
            if (respostas % 2 == 1) {
                if (!recebeLinhaEvento(*linha, evento, aoEvento)) return 0;
                ++respostas;
                continue;
            }
            const PassoSsip passo = recebeLinhaResposta(*linha, r, evento, aoEvento);
            if (passo == PassoSsip::Absurda) return 0;
            if (passo == PassoSsip::Pronta) {
                confirma(r.codigo >= 0 && r.codigo <= 999 && (r.codigo < 700 || r.codigo >= 800));
                for (const VozSsip& v : vozesDaLista(r.dados)) {
                    confirma(!v.nome.empty() && v.nome.find('\t') == v.nome.npos);
                    confirma(v.lingua.find('\t') == v.lingua.npos);
                }
                r = RespostaSsip{};
                ++respostas;
            }
        }
        if (recebido.size() > kMaiorLinhaSsip) return 0;
    }
    return 0;
}
