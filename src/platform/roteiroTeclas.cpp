#include "platform/roteiroTeclas.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <iterator>
#include <optional>

#include "platform/codigos.h"
#include "platform/ini.h"
#include "platform/teclado.h"
#include "platform/texto.h"

namespace {

struct NomeTecla {
    std::string_view nome;
    uint16_t tecla;
};
constexpr std::array<NomeTecla, 14> kNomes = {{{"Enter", vk::Enter},
                                               {"Esc", vk::Esc},
                                               {"Tab", vk::Tab},
                                               {"Backspace", vk::Backspace},
                                               {"Ins", vk::Ins},
                                               {"Del", vk::Del},
                                               {"Home", vk::Home},
                                               {"End", vk::End},
                                               {"PgUp", vk::PgUp},
                                               {"PgDn", vk::PgDn},
                                               {"Up", vk::Cima},
                                               {"Down", vk::Baixo},
                                               {"Left", vk::Esquerda},
                                               {"Right", vk::Direita}}};

std::optional<uint16_t> teclaDoNome(std::string_view nome) {
    for (const NomeTecla& n : kNomes)
        if (igualSemCaixa(nome, n.nome)) return n.tecla;
    if (nome.size() >= 2 && (nome[0] == 'F' || nome[0] == 'f')) {
        auto n = inteiroIni(nome.substr(1));
        if (n && *n >= 1 && *n <= 12 && std::isdigit(static_cast<unsigned char>(nome[1])))
            return vk::F(static_cast<int>(*n));
    }
    if (nome.size() == 1) {
        unsigned char c = static_cast<unsigned char>(nome[0]);
        if (std::isalpha(c)) return static_cast<uint16_t>(std::toupper(c));
        if (std::isdigit(c)) return c;
        if (c == '\\') return vk::BarraInvertida;
    }
    return std::nullopt;
}

// One {Name}; false when it is not a key this script language knows.
bool leTeclaNomeada(std::string_view nome, std::vector<TeclaRoteiro>& teclas) {
    if (comecaSemCaixa(nome, "code:")) {
        auto n = inteiroIni(nome.substr(5));
        if (!n || *n < 0 || *n > 255) return false;
        EventoEntrada ev;
        ev.tipo = EventoEntrada::Tipo::Codigo;
        ev.caractere = static_cast<uint8_t>(*n);
        teclas.push_back({{ev}});
        return true;
    }
    Modificadores mod;
    for (;;) {
        if (comecaSemCaixa(nome, "Ctrl+") && nome.size() > 5) {
            mod.ctrl = true;
            nome.remove_prefix(5);
        } else if (comecaSemCaixa(nome, "Alt+") && nome.size() > 4) {
            mod.alt = true;
            nome.remove_prefix(4);
        } else if (comecaSemCaixa(nome, "Shift+") && nome.size() > 6) {
            mod.shift = true;
            nome.remove_prefix(6);
        } else {
            break;
        }
    }
    std::optional<uint16_t> tecla = teclaDoNome(nome);
    if (!tecla) return false;
    std::optional<uint8_t> caractere = caractereDeControle(*tecla, mod);
    const bool textual = (*tecla >= 'A' && *tecla <= 'Z') || (*tecla >= '0' && *tecla <= '9');
    if (textual && !mod.ctrl && !mod.alt) {
        char c = static_cast<char>(*tecla);
        if (*tecla >= 'A' && !mod.shift) c = static_cast<char>(std::tolower(c));
        caractere = static_cast<uint8_t>(c);
    }
    teclas.push_back({eventosDeTecla(*tecla, mod, caractere)});
    return true;
}

// The keys from `inicio` on become one press: they all arrive at once.
void juntaRajada(std::vector<TeclaRoteiro>& teclas, size_t inicio) {
    if (inicio >= teclas.size()) return;
    TeclaRoteiro junta;
    for (size_t i = inicio; i < teclas.size(); ++i)
        junta.eventos.insert(junta.eventos.end(), teclas[i].eventos.begin(), teclas[i].eventos.end());
    teclas.resize(inicio);
    teclas.push_back(std::move(junta));
}

// The bytes of the file `nome` pasted into the terminal at once.
std::optional<TeclaRoteiro> colagemDoArquivo(std::string_view nome) {
    std::ifstream arquivo{std::string(nome), std::ios::binary};
    if (!arquivo) return std::nullopt;
    EventoEntrada ev;
    ev.tipo = EventoEntrada::Tipo::Colagem;
    ev.texto.assign(std::istreambuf_iterator<char>(arquivo), std::istreambuf_iterator<char>());
    return TeclaRoteiro{{std::move(ev)}};
}

}  // namespace

Roteiro leRoteiro(std::string_view texto) {
    Roteiro r;
    std::optional<size_t> inicioRajada;  // inside {burst}: where its keys begin
    size_t pos = 0;
    while (pos < texto.size()) {
        char c = texto[pos];
        if (c == '\r' || c == '\n') {
            ++pos;
            continue;
        }
        // A comment runs to the end of its line; the blanks before it are not typed, so
        // that it can stand after the keys it explains.
        if (c == ' ' || c == '\t') {
            const size_t fimBrancos = std::min(texto.find_first_not_of(" \t", pos), texto.size());
            if (fimBrancos == texto.size() || texto[fimBrancos] != '#')
                for (; pos < fimBrancos; ++pos)
                    r.teclas.push_back({eventosDeCaractere(static_cast<uint8_t>(texto[pos]))});
            pos = fimBrancos;
            continue;
        }
        if (c == '#') {
            pos = std::min(texto.find_first_of("\r\n", pos), texto.size());
            continue;
        }
        if (c == '{') {
            // "{{}" types a brace and "{#}" a number sign, which would begin a comment.
            if (texto.substr(pos, 3) == "{{}" || texto.substr(pos, 3) == "{#}") {
                r.teclas.push_back({eventosDeCaractere(static_cast<uint8_t>(texto[pos + 1]))});
                pos += 3;
                continue;
            }
            size_t fim = texto.find('}', pos + 1);
            // "{Ctrl+}}" would need the second brace; no key is named that way.
            if (fim == std::string_view::npos) {
                r.erro = "chave sem fechamento na posicao " + std::to_string(pos);
                return r;
            }
            std::string_view nome = texto.substr(pos + 1, fim - pos - 1);
            pos = fim + 1;
            if (igualSemCaixa(nome, "burst")) {
                inicioRajada = r.teclas.size();
                continue;
            }
            if (igualSemCaixa(nome, "/burst") && inicioRajada) {
                juntaRajada(r.teclas, *inicioRajada);
                inicioRajada.reset();
                continue;
            }
            if (comecaSemCaixa(nome, "paste:")) {
                std::optional<TeclaRoteiro> colagem = colagemDoArquivo(nome.substr(6));
                if (!colagem) {
                    r.erro = "arquivo a colar ilegivel: " + std::string(nome.substr(6));
                    return r;
                }
                r.teclas.push_back(std::move(*colagem));
                continue;
            }
            if (!leTeclaNomeada(nome, r.teclas)) {
                r.erro = "tecla desconhecida {" + std::string(nome) + "}";
                return r;
            }
            continue;
        }
        bool valido = true;
        char32_t u = proximoUtf8(texto, pos, &valido);
        r.teclas.push_back({valido ? eventosDeUnicode(u) : eventosDeCaractere(static_cast<uint8_t>(u))});
    }
    return r;
}
