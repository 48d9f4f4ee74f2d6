#include "editor/edHistorico.h"

#include <algorithm>
#include <utility>

#include "editor/edVars.h"

namespace {

template <class... F>
struct Visitas : F... {
    using F::operator()...;
};
// Spelled out for compilers that do not deduce an aggregate's arguments (clang 14).
template <class... F>
Visitas(F...) -> Visitas<F...>;

// The messages that name a step (a command's own confirmation, or the name the key table
// gives it), and whether its line count is said after the name.
struct Rotulo {
    std::string_view chave;
    bool contaLinhas;
};
constexpr Rotulo kRotulos[] = {
    {"EDLINREM", false}, {"EDLINJUN", false}, {"EDLINQUE", false}, {"EDLINSER", false},
    {"EDAPAFIM", false}, {"EDAPAINI", false}, {"EDDIGITA", false}, {"EDAPAGAD", false},
    {"EDCORRIG", false}, {"EDCALCUL", false}, {"EDBLKMOV", true},  {"EDBLKCPY", true},
    {"EDBLKREM", true},  {"EDBLKORD", true},  {"EDBLKCRG", true},  {"EDBLKADC", true},
    {"EDBLKCNT", true},  {"EDBLKTAB", true},  {"EDBLKMRG", true},  {"EDBLKALI", true},
    {"EDJUSTIF", true},  {"EDTXTTRC", true},  {"EDNUMINS", true},  {"EDALTERA", true},
    {"EDBLKCNV", true},  {"EDBLKDEC", true},  {"EDBLKBRA", false},
};

const Rotulo* procuraRotulo(std::string_view chave) {
    for (const Rotulo& r : kRotulos)
        if (r.chave == chave) return &r;
    return nullptr;
}

size_t bytesTexto(const std::string& s) {
    // Short texts live inside the string itself.
    return sizeof(std::string) + (s.capacity() > 15 ? s.capacity() + 1 : 0);
}

size_t bytesMudancas(const std::vector<MudancaTexto>& mudancas) {
    size_t total = sizeof(PassoHistorico) + mudancas.capacity() * sizeof(MudancaTexto);
    for (const MudancaTexto& m : mudancas)
        std::visit(Visitas{[&](const TrocaLinhas& t) {
                               total += t.antigas.capacity() * sizeof(std::string);
                               for (const std::string& s : t.antigas) total += bytesTexto(s);
                           },
                           [](const MoveLinhas&) {},
                           [&](const ReordenaLinhas& r) { total += r.ordem.capacity() * sizeof(int); }},
                   m);
    return total;
}

int primeiraLinha(const MudancaTexto& m) {
    return std::visit(Visitas{[](const TrocaLinhas& t) { return t.de; },
                              [](const MoveLinhas& v) { return std::min(v.de, v.para); },
                              [](const ReordenaLinhas& r) { return r.primeira; }},
                      m);
}

// Makes the change undone; the store notes what that did, which is the change's inverse.
void desfazMudanca(TipoTexto& texto, MudancaTexto&& m) {
    std::visit(Visitas{[&](TrocaLinhas& t) { texto.substitui(t.de, t.novas, std::move(t.antigas)); },
                       [&](const MoveLinhas& v) {
                           if (v.para < v.de)
                               texto.move(v.para, v.n, v.de + v.n);
                           else
                               texto.move(v.para - v.n, v.n, v.de);
                       },
                       [&](const ReordenaLinhas& r) {
                           std::vector<int> inversa(r.ordem.size());
                           for (size_t k = 0; k < r.ordem.size(); ++k)
                               inversa[static_cast<size_t>(r.ordem[k])] = static_cast<int>(k);
                           texto.reordena(r.primeira, inversa);
                       }},
               m);
}

std::string_view semBrancosNoFim(std::string_view s) {
    return s.substr(0, s.find_last_not_of(' ') + 1);
}

// Changes that only put blanks at line ends or took them away (what leaving a line by Up or
// Down does): no step a user would name.
bool soBrancosNoFim(const TipoTexto& texto, const std::vector<MudancaTexto>& mudancas) {
    return std::all_of(mudancas.begin(), mudancas.end(), [&](const MudancaTexto& m) {
        const TrocaLinhas* t = std::get_if<TrocaLinhas>(&m);
        return t && t->antigas.size() == 1 && t->novas == 1 &&
               semBrancosNoFim(t->antigas[0]) == semBrancosNoFim(texto.vista(t->de));
    });
}

bool marcasIguais(const PosicaoTexto& a, const PosicaoTexto& b) {
    return a.inicioBloco == b.inicioBloco && a.fimBloco == b.fimBloco &&
           a.linhaMemorizada == b.linhaMemorizada && a.colunaMemorizada == b.colunaMemorizada;
}

// A mark stays on its line while lines are replaced before it; on a line taken away it
// goes to the line before.
void segue(int& linha, const MudancaTexto& m) {
    const TrocaLinhas* t = std::get_if<TrocaLinhas>(&m);
    if (!t) return;
    const int antigas = static_cast<int>(t->antigas.size());
    if (linha >= t->de + antigas)
        linha += t->novas - antigas;
    else if (linha >= t->de + t->novas)
        linha = std::max(t->de + t->novas - 1, 1);
}

}  // namespace

// ------------------------------------------------------------ the line store's notes

void anotaMudanca(std::vector<MudancaTexto>& diario, MudancaTexto m) {
    const auto umaLinha = [](const MudancaTexto& x) -> const TrocaLinhas* {
        const TrocaLinhas* t = std::get_if<TrocaLinhas>(&x);
        return t && t->antigas.size() == 1 && t->novas == 1 ? t : nullptr;
    };
    if (!diario.empty()) {
        const TrocaLinhas* antes = umaLinha(diario.back());
        const TrocaLinhas* agora = umaLinha(m);
        if (antes && agora && antes->de == agora->de) return;
    }
    diario.push_back(std::move(m));
}

void TipoTexto::registraMudancas() {
    registra_ = true;
    diario_ = {};
}

DiarioTexto TipoTexto::tomaMudancas() {
    return std::exchange(diario_, {});
}

void TipoTexto::anotaTroca(int de, int quantas, int novas, bool umaVazia) {
    if (!registra_ || (quantas <= 0 && novas <= 0)) return;
    TrocaLinhas t{de, {}, novas, std::max(quantas, novas)};
    t.antigas.reserve(static_cast<size_t>(std::max(quantas, 0)));
    for (int i = de; i < de + quantas; ++i) t.antigas.emplace_back(vista(i));
    const bool vaziaPosta = quantas == 0 && novas == 1 && umaVazia;
    const bool vaziaTirada = quantas == 1 && novas == 0 && t.antigas[0].empty();
    if (vaziaPosta || vaziaTirada) t.linhas = 0;
    anotaMudanca(diario_.mudancas, std::move(t));
}

void TipoTexto::anotaMove(int de, int n, int para) {
    if (registra_ && (para < de || para > de + n)) anotaMudanca(diario_.mudancas, MoveLinhas{de, n, para});
}

void TipoTexto::anotaReordena(int primeira, std::span<const int> ordem) {
    if (registra_)
        anotaMudanca(diario_.mudancas,
                     ReordenaLinhas{primeira, std::vector<int>(ordem.begin(), ordem.end())});
}

// ------------------------------------------------------------------------ steps

PosicaoTexto posicaoTexto(const EdVars& ed) {
    return {ed.linhaAtual,  ed.colunaAtual,     ed.inicioBloco,
            ed.fimBloco,    ed.linhaMemorizada, ed.colunaMemorizada};
}

int PassoHistorico::linhas() const {
    int total = 0;
    for (const MudancaTexto& m : mudancas)
        total += std::visit(Visitas{[](const TrocaLinhas& t) { return t.linhas; },
                                    [](const MoveLinhas& v) { return v.n; },
                                    [](const ReordenaLinhas& r) { return static_cast<int>(r.ordem.size()); }},
                            m);
    return total;
}

void Historico::reinicia(TipoTexto& texto) {
    limpa();
    texto.registraMudancas();
}

void Historico::limpa() {
    desfazer_.clear();
    refazer_.clear();
    bytes_ = 0;
    rotuloOuvido_ = {};
    juntavel_ = Juntavel::Nada;
}

void Historico::nomeia(std::string_view chave) {
    if (const Rotulo* r = procuraRotulo(chave)) rotuloOuvido_ = r->chave;
}

void Historico::esvaziaRefazer() {
    for (const PassoHistorico& p : refazer_) bytes_ -= p.bytes;
    refazer_.clear();
}

void Historico::fechaComando(EdVars& ed, const PosicaoTexto& antes, const ComandoHistorico& c) {
    DiarioTexto diario = ed.texto.tomaMudancas();
    const std::string_view ouvido = std::exchange(rotuloOuvido_, {});
    if (diario.perdido) return limpa();
    const Juntavel tipo = c.tipo == ComandoHistorico::Tipo::Digitacao    ? Juntavel::Digitacao
                          : c.tipo == ComandoHistorico::Tipo::Apagamento ? Juntavel::Apagamento
                                                                         : Juntavel::Nada;
    if (diario.mudancas.empty()) {
        if (tipo == Juntavel::Nada) juntavel_ = Juntavel::Nada;
        return;
    }
    const PosicaoTexto depois = posicaoTexto(ed);
    // A word goes on until a letter follows a blank; a run of deletions while the same key
    // deletes; blanks trimmed by leaving a line belong to the step before.
    bool juntar = !desfazer_.empty() && tipo != Juntavel::Nada && juntavel_ == tipo &&
                  (tipo == Juntavel::Digitacao ? c.branco || !depoisDeBranco_
                                               : c.tecla == teclaApagamento_);
    juntar = juntar || (!desfazer_.empty() && tipo == Juntavel::Nada && depois.linha != antes.linha &&
                        soBrancosNoFim(ed.texto, diario.mudancas));
    esvaziaRefazer();
    if (juntar) {
        PassoHistorico& p = desfazer_.back();
        bytes_ -= p.bytes;
        for (MudancaTexto& m : diario.mudancas) anotaMudanca(p.mudancas, std::move(m));
        p.depois = depois;
        p.bytes = bytesMudancas(p.mudancas);
        bytes_ += p.bytes;
    } else {
        const Rotulo* r = procuraRotulo(ouvido);
        if (!r) r = procuraRotulo(c.rotulo);
        if (!r) r = procuraRotulo("EDALTERA");
        PassoHistorico p{std::move(diario.mudancas), antes, depois, r->chave, r->contaLinhas};
        p.bytes = bytesMudancas(p.mudancas);
        bytes_ += p.bytes;
        desfazer_.push_back(std::move(p));
    }
    juntavel_ = tipo;
    teclaApagamento_ = c.tecla;
    depoisDeBranco_ = c.branco;
    aparaLimites();
}

void Historico::aparaLimites() {
    // The newest step always stays, however large.
    while ((desfazer_.size() + refazer_.size() > kPassos || bytes_ > kBytes) &&
           desfazer_.size() + refazer_.size() > 1) {
        std::deque<PassoHistorico>& fila = desfazer_.empty() ? refazer_ : desfazer_;
        bytes_ -= fila.front().bytes;
        fila.pop_front();
    }
}

std::optional<Historico::Resumo> Historico::desfaz(EdVars& ed) {
    return volta(ed, desfazer_, refazer_);
}

std::optional<Historico::Resumo> Historico::refaz(EdVars& ed) {
    return volta(ed, refazer_, desfazer_);
}

std::optional<Historico::Resumo> Historico::volta(EdVars& ed, std::deque<PassoHistorico>& de,
                                                   std::deque<PassoHistorico>& para) {
    // Changes no command closed yet are the newest step.
    const PosicaoTexto agora = posicaoTexto(ed);
    fechaComando(ed, agora, {});
    juntavel_ = Juntavel::Nada;
    if (de.empty()) return std::nullopt;
    PassoHistorico p = std::move(de.back());
    de.pop_back();
    bytes_ -= p.bytes;
    for (auto m = p.mudancas.rbegin(); m != p.mudancas.rend(); ++m) desfazMudanca(ed.texto, std::move(*m));
    PassoHistorico inverso{ed.texto.tomaMudancas().mudancas, p.depois, p.antes, p.rotulo, p.contaLinhas};
    inverso.bytes = bytesMudancas(inverso.mudancas);

    // The cursor on the first line the step touched; the marks back as they were when
    // nothing moved them since, else kept on their lines.
    const PosicaoTexto& alvo = inverso.depois;
    int linha = inverso.mudancas.empty() ? alvo.linha : primeiraLinha(inverso.mudancas.front());
    for (const MudancaTexto& m : inverso.mudancas) linha = std::min(linha, primeiraLinha(m));
    ed.linhaAtual = std::clamp(linha, 1, ed.nLinhas());
    ed.colunaAtual = ed.linhaAtual == alvo.linha ? alvo.coluna : 1;
    if (marcasIguais(agora, inverso.antes)) {
        ed.inicioBloco = alvo.inicioBloco;
        ed.fimBloco = alvo.fimBloco;
        ed.linhaMemorizada = alvo.linhaMemorizada;
        ed.colunaMemorizada = alvo.colunaMemorizada;
    } else {
        for (const MudancaTexto& m : inverso.mudancas)
            for (int* marca : {&ed.inicioBloco, &ed.fimBloco, &ed.linhaMemorizada}) segue(*marca, m);
    }
    ed.linhaMemorizada = std::clamp(ed.linhaMemorizada, 1, ed.nLinhas());

    const Resumo resumo{inverso.rotulo, inverso.contaLinhas, inverso.linhas()};
    bytes_ += inverso.bytes;
    para.push_back(std::move(inverso));
    aparaLimites();
    return resumo;
}
