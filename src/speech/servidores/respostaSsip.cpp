#include "speech/servidores/respostaSsip.h"

#include <cctype>

namespace {

bool digito(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

std::optional<std::string> tiraLinhaSsip(std::string& recebido) {
    const size_t fim = recebido.find('\n');
    if (fim == std::string::npos) return std::nullopt;
    std::string linha = recebido.substr(0, fim > 0 && recebido[fim - 1] == '\r' ? fim - 1 : fim);
    recebido.erase(0, fim + 1);
    return linha;
}

PassoSsip recebeLinhaResposta(std::string_view linha, RespostaSsip& r,
                              std::vector<std::string>& evento, const AoEventoSsip& aoEvento) {
    const bool valida = linha.size() >= 4 && digito(linha[0]) && digito(linha[1]) &&
                        digito(linha[2]) && (linha[3] == '-' || linha[3] == ' ');
    if (!valida) return PassoSsip::Absurda;
    const int codigo = (linha[0] - '0') * 100 + (linha[1] - '0') * 10 + (linha[2] - '0');
    const bool ultima = linha[3] == ' ';
    if (codigo >= 700 && codigo < 800) {
        recebeLinhaEvento(linha, evento, aoEvento);
        return PassoSsip::Continua;
    }
    if (!ultima) {
        r.dados.emplace_back(linha.substr(4));
        return PassoSsip::Continua;
    }
    r.codigo = codigo;
    return PassoSsip::Pronta;
}

bool recebeLinhaEvento(std::string_view linha, std::vector<std::string>& evento,
                       const AoEventoSsip& aoEvento) {
    if (linha.size() < 4 || linha[0] != '7' || (linha[3] != '-' && linha[3] != ' ')) return false;
    evento.emplace_back(linha.substr(4));
    if (linha[3] == ' ') {
        // Only the first digit is sure to be one: the number is read as far as digits go.
        int codigo = 0;
        for (size_t i = 0; i < 3 && digito(linha[i]); ++i) codigo = codigo * 10 + (linha[i] - '0');
        aoEvento(codigo, evento);
        evento.clear();
    }
    return true;
}

std::vector<VozSsip> vozesDaLista(const std::vector<std::string>& dados) {
    std::vector<VozSsip> vozes;
    for (const std::string& linha : dados) {
        const size_t tab = linha.find('\t');
        const size_t tab2 = tab == std::string::npos ? tab : linha.find('\t', tab + 1);
        if (tab != std::string::npos && tab > 0)
            vozes.push_back({linha.substr(0, tab), linha.substr(tab + 1, tab2 - tab - 1)});
    }
    return vozes;
}
