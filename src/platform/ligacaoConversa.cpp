#include "platform/ligacaoConversa.h"

#include <cstdint>

#include "platform/codigos.h"
#include "platform/texto.h"

namespace ligacao {

namespace {

bool enviaQuadro(Canal& c, Tipo tipo, std::string_view carga, Relogio::time_point prazo) {
    const uint32_t n = static_cast<uint32_t>(carga.size() + 1);
    std::string q;
    q.reserve(carga.size() + 5);
    for (int s = 24; s >= 0; s -= 8) q += static_cast<char>((n >> s) & 0xFF);
    q += static_cast<char>(tipo);
    q += carga;
    return c.escreveTudo(q, prazo);
}

struct Quadro {
    Tipo tipo;
    std::string carga;
};

std::optional<Quadro> leQuadro(Canal& c, Relogio::time_point prazo) {
    unsigned char cab[5];
    if (!c.leExato(reinterpret_cast<char*>(cab), sizeof cab, prazo)) return std::nullopt;
    const uint32_t n = uint32_t{cab[0]} << 24 | uint32_t{cab[1]} << 16 | uint32_t{cab[2]} << 8 | cab[3];
    if (n == 0 || n > kMaiorQuadro || cab[4] < 1 || cab[4] > 4) return std::nullopt;
    Quadro q{static_cast<Tipo>(cab[4]), std::string(n - 1, '\0')};
    if (!c.leExato(q.carga.data(), q.carga.size(), prazo)) return std::nullopt;
    return q;
}

// The two names of an initiate, split at their NUL.
bool separa(std::string_view carga, std::string_view& a, std::string_view& b) {
    const size_t nul = carga.find('\0');
    if (nul == std::string_view::npos) return false;
    a = carga.substr(0, nul);
    b = carga.substr(nul + 1);
    return true;
}

std::string juntaNomes(std::string_view a, std::string_view b) {
    std::string s(a);
    s += '\0';
    s += b;
    return s;
}

}  // namespace

std::string nomeEndereco(std::string_view nome) {
    std::string s = maiusculasAscii(win1252ParaUtf8(nome));
    if (s.empty() || s.find_first_of(std::string_view("/\\\0", 3)) != std::string::npos) return {};
    return s;
}

Resultado conversaCliente(Canal& canal, std::string_view aplicacao, std::string_view topico,
                          std::string_view item, std::string_view dados,
                          Relogio::time_point prazo) {
    if (!enviaQuadro(canal, Tipo::Inicia, juntaNomes(aplicacao, topico), prazo))
        return Resultado::SemServidor;
    const std::optional<Quadro> resposta = leQuadro(canal, prazo);
    if (!resposta || resposta->tipo != Tipo::Confirma) return Resultado::SemServidor;
    if (resposta->carga != "\x01") return Resultado::Recusado;
    std::string carga(item);
    carga += '\0';
    carga += static_cast<char>(kFormatoTexto & 0xFF);
    carga += static_cast<char>(kFormatoTexto >> 8);
    carga += dados;
    if (!enviaQuadro(canal, Tipo::Entrega, carga, prazo) ||
        !enviaQuadro(canal, Tipo::Termina, {}, prazo))
        return Resultado::Falhou;
    return Resultado::Entregue;
}

std::optional<Entrega> conversaServidor(Canal& canal, std::string_view aplicacao,
                                        std::string_view topico) {
    const auto prazo = Relogio::now() + kPrazo;
    std::optional<Quadro> q = leQuadro(canal, prazo);
    std::string_view a, t;
    if (!q || q->tipo != Tipo::Inicia || !separa(q->carga, a, t)) return std::nullopt;
    const bool nosso = igualSemCaixa(a, aplicacao) && igualSemCaixa(t, topico);
    if (!enviaQuadro(canal, Tipo::Confirma, nosso ? "\x01" : std::string_view("\0", 1), prazo) ||
        !nosso)
        return std::nullopt;
    q = leQuadro(canal, prazo);
    std::string_view item, resto;
    if (!q || q->tipo != Tipo::Entrega || !separa(q->carga, item, resto) || resto.size() < 2)
        return std::nullopt;
    const uint16_t formato = static_cast<uint8_t>(resto[0]) | static_cast<uint8_t>(resto[1]) << 8;
    const bool texto = formato == kFormatoTexto;
    enviaQuadro(canal, Tipo::Confirma, texto ? "\x01" : std::string_view("\0", 1), prazo);
    if (!texto) return std::nullopt;
    Entrega e{std::string(item), std::string(resto.substr(2))};
    // The client ends the conversation; the server answers in kind, if it still listens.
    if (q = leQuadro(canal, prazo); q && q->tipo == Tipo::Termina)
        enviaQuadro(canal, Tipo::Termina, {}, prazo);
    return e;
}

}  // namespace ligacao
