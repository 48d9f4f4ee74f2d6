#include "mathmode/EDNUMERALEITURA.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "editor/editor.h"
#include "mathmode/EDNUMERAVARS.h"
#include "platform/caminhos.h"

// Ctrl+F9 reads the cursor line by itself: nothing is translated into the code file and
// nothing runs. The line goes through the same steps as a translated one (decimal
// separator, comments, label, identification, end check) and each part of its parameter
// is announced by its own recorded prompt.

namespace {

const std::string kLeitura = "\\COMANDOS\\LEITURA\\";
const std::string kPalavras = "\\COMANDOS\\PALABRAS\\";

// A fault found by a check: the error number and the offending piece.
struct Falta {
    int codigo = 0;
    std::string peca;
};

std::optional<Falta> validaNomeLeitura(std::string_view n, bool simples = false) {
    if (n.empty()) return std::nullopt;
    if (digitoNumera(n[0])) return Falta{8, std::string(n)};
    for (char c : n) {
        const bool ok = simples ? (digitoNumera(c) || letraNumera(c) || c == '[' || c == ']' || c == 'a' || c == ',')
                                : caractereDeNome(c);
        if (!ok) return Falta{9, std::string(1, c)};
    }
    return std::nullopt;
}

// The expression checks of an assignment: characters, separator at the ends, forbidden
// sequences, parentheses.
std::optional<Falta> validaExpressaoLeitura(std::string_view x, char separador,
                                            const std::vector<std::string>& proibidas) {
    for (char c : x)
        if (!caractereDeNome(c) && c != separador && std::string_view("()*+-/").find(c) == std::string_view::npos)
            return Falta{6, std::string(1, c)};
    if (!x.empty() && x.front() == separador) return Falta{31, {}};
    if (!x.empty() && x.back() == separador) return Falta{32, {}};
    if (!x.empty() && std::string_view("*-+/,.").find(x.back()) != std::string_view::npos)
        return Falta{6, std::string(1, x.back())};
    for (const std::string& p : proibidas)
        if (!p.empty() && x.find(p) != std::string_view::npos) return Falta{10, p};
    int nivel = 0;
    for (char c : x) {
        nivel += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (nivel < 0) return Falta{11, {}};
    }
    if (nivel > 0) return Falta{12, {}};
    return std::nullopt;
}

// What identification left of the line.
struct LinhaLida {
    std::string rotulo, comentario, prefixo, parametro;
    bool comando = false;
    int erro = 0;  // 1 unknown command, 2 bad end
};

class Leitor {
  public:
    explicit Leitor(Editor& e) : e_(e), separador_(separadorDecimal(e)) {
        for (std::string& l : leLinhasNumera(arquivoNumeraLeitura(e, "noValidas.ini")))
            if (!l.empty()) proibidas_.push_back(std::move(l));
        const std::vector<std::string> c = leLinhasNumera(arquivoNumeraLeitura(e, "constantes.txt"));
        for (size_t i = 1; i < c.size(); i += 3) simbolos_.push_back(c[i]);
    }

    void le(std::string linha);

  private:
    void som(std::string_view nome) { e_.fala.tocaSom(nome); }
    void l(std::string_view nome) { som(kLeitura + std::string(nome)); }
    void p(int n) { som(kPalavras + "P" + std::to_string(n)); }
    void soletra(std::string_view s) { e_.fala.soletra(s); }

    // A "." typed in a number becomes the separator ","; with "." as the separator the
    // commas stay, for they also part the items of lists.
    std::string troca(std::string linha) const {
        if (separador_ == ',') std::replace(linha.begin(), linha.end(), '.', ',');
        return linha;
    }
    LinhaLida identifica(std::string linha) const;
    void leComando(const LinhaLida& l);

    // The three patterns of a parameter part.
    struct Nomes {
        std::string_view presente, ausente, digito, caractere, fecho;
    };
    void parteNome(std::string_view n, const Nomes& p);
    void faltaNome(const Falta& f, std::string_view promptDigito, std::string_view promptCaractere,
                   std::string_view fecho);
    void parteExpressao(std::string_view x, std::string_view presente, std::string_view ausente);
    void faltaExpressao(std::string_view x, const Falta& f);
    struct Lista {
        std::string_view presente, ausente, item, digito, caractere, fecho;
    };
    void parteLista(std::string_view lista, const Lista& p);
    void comparacao(std::string_view x, std::string_view inicial, std::string_view vazio,
                    const std::array<std::string_view, 6>& prompts);
    void leExpressao(std::string_view x);
    void leAtribuicao(std::string_view texto);
    void leImprime(std::string_view x);
    void leTroca(std::string_view prefixo, std::string_view x);
    void leNumeroOuNome(std::string_view x, std::string_view presente, std::string_view ausente,
                        std::string_view falha, bool (*aceita)(std::string_view, char));

    Editor& e_;
    char separador_;
    std::vector<std::string> proibidas_;
    std::vector<std::string> simbolos_;
};

LinhaLida Leitor::identifica(std::string linha) const {
    LinhaLida r;
    // Comments: the text after "%%", and each "%{" ... "}%" pair's content.
    if (size_t c = linha.find("%%"); c != std::string::npos) {
        r.comentario = linha.substr(c + 2);
        linha.resize(c);
    }
    for (size_t a; (a = linha.find("%{")) != std::string::npos;) {
        const size_t b = linha.find("}%", a + 2);
        if (b == std::string::npos) break;
        r.comentario += linha.substr(a + 2, b - a - 2) + " ";
        linha.erase(a, b + 2 - a);
    }
    std::string n;
    for (char c : linha)
        if (c != ' ' && c != '\t') n += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (n.empty()) n = "\\NOP;";
    if (n[0] != '\\') {
        if (size_t dp = n.find(':'); dp != std::string::npos) {
            r.rotulo = n.substr(0, dp);
            n.erase(0, dp + 1);
        }
    }
    for (std::string_view pre : prefixosComando) {
        if (n.compare(0, pre.size(), pre) != 0) continue;
        r.comando = true;
        r.prefixo = std::string(pre);
        const bool chaves = pre.back() == '{';
        std::string resto = n.substr(pre.size());
        const bool sempreErro = pre == "\\VARIABLES{" || pre == "\\TEMP";
        const std::string_view fim = chaves ? "};" : pre.back() == ';' ? "" : ";";
        if (sempreErro || resto.size() < fim.size() || resto.compare(resto.size() - fim.size(), fim.size(), fim) != 0) {
            r.erro = 2;
        } else {
            resto.resize(resto.size() - fim.size());
        }
        r.parametro = resto;
        return r;
    }
    if (n[0] == '\\') {
        r.erro = 1;
        return r;
    }
    if (n.back() != ';') r.erro = 2;
    else n.pop_back();
    r.parametro = n;
    return r;
}

void Leitor::le(std::string linha) {
    linha = troca(std::move(linha));
    if (linha.rfind("#E", 0) == 0) {
        size_t fim = 2;
        while (fim < linha.size() && digitoNumera(linha[fim])) ++fim;
        som("\\COMANDOS\\ERROS\\E" + std::to_string(std::atoi(linha.substr(2, fim - 2).c_str())));
        som("\\COMANDOS\\MENSAJES\\M4");
        const size_t onde = linha.find("linha");
        soletra(onde != std::string::npos ? linha.substr(onde + 5) : linha.substr(std::min<size_t>(4, linha.size())));
        return;
    }
    const LinhaLida lida = identifica(linha);
    if (lida.erro == 1) return l("L106");
    if (lida.erro == 2) {
        // Which end is missing, as the check saw the line (blanks and comments aside).
        const std::string fim = lida.prefixo + lida.parametro;
        if (fim.empty() || fim.back() != ';') return l("L107");
        if (fim.size() < 2 || fim.compare(fim.size() - 2, 2, "};") != 0) return l("L108");
    }
    if (!lida.rotulo.empty()) {
        l("L35");
        soletra(lida.rotulo);
    }
    leComando(lida);
    if (!lida.comentario.empty()) {
        l("L17");
        e_.fala.falaTexto(lida.comentario);
    }
    if ((lida.prefixo == "\\SAVEMEMORY{" || lida.prefixo == "\\READMEMORY{") && lida.parametro.empty()) l("L162");
}

void Leitor::faltaNome(const Falta& f, std::string_view promptDigito, std::string_view promptCaractere,
                       std::string_view fecho) {
    if (f.codigo == 8) return l(promptDigito);
    l(promptCaractere);
    l("L67");
    soletra(f.peca);
    l(fecho);
}

void Leitor::parteNome(std::string_view n, const Nomes& p) {
    if (n.empty()) return l(p.ausente);
    l(p.presente);
    soletra(n);
    if (auto f = validaNomeLeitura(n)) faltaNome(*f, p.digito, p.caractere, p.fecho);
}

void Leitor::faltaExpressao(std::string_view x, const Falta& f) {
    soletra(x);
    l("L66");
    switch (f.codigo) {
        case 6: l("L67"); soletra(f.peca); l("L68"); break;
        case 10:
        case 33: l("L69"); soletra(f.peca); l("L70"); break;
        case 11: l("L71"); break;
        case 12: l("L72"); break;
        default: l("L73"); break;
    }
}

void Leitor::parteExpressao(std::string_view x, std::string_view presente, std::string_view ausente) {
    if (x.empty()) return l(ausente);
    l(presente);
    if (auto f = validaExpressaoLeitura(x, separador_, proibidas_)) return faltaExpressao(x, *f);
    leExpressao(x);
}

void Leitor::parteLista(std::string_view lista, const Lista& p) {
    if (lista.empty()) return l(p.ausente);
    if (lista.find(",,") != std::string_view::npos) return l("L83");
    if (lista.front() == ',') return l("L84");
    if (lista.back() == ',') return l("L85");
    l(p.presente);
    for (std::string_view item : separaCampos(lista, ',')) {
        l(p.item);
        soletra(item);
        if (auto f = validaNomeLeitura(item)) faltaNome(*f, p.digito, p.caractere, p.fecho);
    }
}

// The symbol prompt of a comparison operator.
int promptOperador(std::string_view op) {
    static constexpr std::pair<std::string_view, int> kOps[] = {{"=", 7}, {">", 8}, {"<", 9},
                                                                {">=", 10}, {"<=", 11}, {"<>", 12}};
    for (const auto& [o, n] : kOps)
        if (o == op) return n;
    return 7;
}

// IF and WHILE: prompts x present/absent, op present/absent, y present/absent.
void Leitor::comparacao(std::string_view x, std::string_view inicial, std::string_view vazio,
                        const std::array<std::string_view, 6>& prompts) {
    l(inicial);
    std::string_view op;
    size_t onde = std::string_view::npos;
    for (std::string_view o : operadoresComparacao)
        if ((onde = x.find(o)) != std::string_view::npos) {
            op = o;
            break;
        }
    if (op.empty()) {
        if (x.empty()) return l(vazio);
        parteExpressao(x, prompts[0], prompts[1]);
        l(prompts[3]);
        return l(prompts[5]);
    }
    parteExpressao(x.substr(0, onde), prompts[0], prompts[1]);
    l(prompts[2]);
    p(promptOperador(op));
    parteExpressao(x.substr(onde + op.size()), prompts[4], prompts[5]);
}

void Leitor::leExpressao(std::string_view x) {
    std::vector<int> abertos;  // the function of each open parenthesis, -1 for none
    int funcao = -1;
    for (size_t i = 0; i < x.size();) {
        const char c = x[i];
        if (c == '(') {
            if (funcao < 0) p(0);
            abertos.push_back(funcao);
            funcao = -1;
            ++i;
        } else if (c == ')') {
            p(1);
            if (!abertos.empty()) {
                if (abertos.back() >= 0) {
                    p(6);
                    som("\\COMANDOS\\FUNCIONES\\FE" + std::to_string(abertos.back()));
                }
                abertos.pop_back();
            }
            ++i;
        } else if (const size_t op = std::string_view("+-*/").find(c); op != std::string_view::npos) {
            p(2 + static_cast<int>(op));
            ++i;
        } else {
            size_t fim = i;
            while (fim < x.size() && std::string_view("()+-*/").find(x[fim]) == std::string_view::npos) ++fim;
            const std::string_view token = x.substr(i, fim - i);
            const int f = indiceFuncao(token);
            const auto simbolo = std::find(simbolos_.begin(), simbolos_.end(), token);
            if (f >= 0 && fim < x.size() && x[fim] == '(') {
                som("\\COMANDOS\\FUNCIONES\\FE" + std::to_string(f));
                funcao = f;
            } else if (simbolo != simbolos_.end() && !token.empty()) {
                const auto k = simbolo - simbolos_.begin();
                som(k == 0   ? std::string("\\COMANDOS\\CONSTANTES\\PI")
                    : k == 1 ? std::string("\\COMANDOS\\CONSTANTES\\NE")
                             : "\\COMANDOS\\CONSTANTES\\C" + std::to_string(k - 1));
            } else {
                soletra(token);
            }
            i = fim;
        }
    }
}

void Leitor::leAtribuicao(std::string_view texto) {
    e_.crt.Delay(400);
    const size_t igual = texto.find('=');
    if (igual == std::string_view::npos) {
        if (texto.rfind("IN", 0) == 0) {
            l("LC13");
            e_.crt.Delay(400);
            return soletra(texto.substr(2));
        }
        return l("L96");
    }
    const std::string_view nome = texto.substr(0, igual), x = texto.substr(igual + 1);
    if (nome.empty()) return l("L97");
    if (x.empty()) return l("L98");
    if (auto f = validaNomeLeitura(nome)) {
        soletra(nome);
        if (f->codigo == 8) return l("L109");
        l("L67");
        soletra(f->peca);
        return l("L76");
    }
    if (!nomeDeTexto(nome))
        if (auto f = validaExpressaoLeitura(x, separador_, proibidas_)) return faltaExpressao(x, *f);
    if (nome != "PALABRARESERVADA1") {
        l("LC13");
        e_.crt.Delay(400);
        soletra(nome);
        p(7);
    }
    if (nomeDeTexto(nome)) return soletra(x);
    leExpressao(x);
}

void Leitor::leImprime(std::string_view x) {
    if (x.empty()) return l("L57");
    std::optional<Falta> f;
    if (x.front() == '+') f = Falta{75, {}};
    else if (x.back() == '+') f = Falta{76, {}};
    else if (x.find("\"\"") != std::string_view::npos) f = Falta{79, {}};
    // The items, quoted texts aside.
    std::vector<std::pair<bool, std::string>> itens;
    for (size_t i = 0; i < x.size() && !f;) {
        if (x[i] == '"') {
            size_t fim = x.find('"', i + 1);
            if (fim == std::string_view::npos) fim = x.size();
            itens.emplace_back(true, std::string(x.substr(i + 1, fim - i - 1)));
            i = fim + 1;
        } else if (x[i] == '+') {
            ++i;
        } else {
            size_t fim = i;
            while (fim < x.size() && x[fim] != '+' && x[fim] != '"') ++fim;
            itens.emplace_back(false, std::string(x.substr(i, fim - i)));
            if (auto n = validaNomeLeitura(itens.back().second)) f = n;
            i = fim;
        }
    }
    if (f) {
        soletra(x);
        switch (f->codigo) {
            case 8: return l("L91");
            case 9: l("L92"); l("L67"); soletra(f->peca); return l("L76");
            case 75: return l("L99");
            case 76: return l("L100");
            default: return l("L102");
        }
    }
    l("L58");
    for (const auto& [texto, valor] : itens) {
        if (texto) {
            l("L59");
            e_.fala.falaTexto(valor);
        } else {
            l("L60");
            soletra(valor);
        }
    }
}

// STEPRESULT and DECIMAL: a number or a plain name.
bool numeroOuNomeSimples(std::string_view x, char separador) {
    return x.empty() || numeroEscrito(x, separador) || !validaNomeLeitura(x, true);
}

void Leitor::leNumeroOuNome(std::string_view x, std::string_view presente, std::string_view ausente,
                            std::string_view falha, bool (*aceita)(std::string_view, char)) {
    if (x.empty()) return l(ausente);
    l(presente);
    soletra(x);
    if (!aceita(x, separador_)) l(falha);
}

// The exchange commands: each field announced by its own prompt, numbers said, names spelled.
void Leitor::leTroca(std::string_view prefixo, std::string_view x) {
    struct Campo {
        std::string_view presente, ausente, naoNumero;  // naoNumero empty: a name
    };
    static constexpr Campo kArquivo{"L112", "L113", ""}, kColuna{"L114", "L115", "L116"},
        kColunaIni{"L117", "L118", "L119"}, kColunaFim{"L120", "L121", "L122"},
        kFilaIni{"L123", "L124", "L125"}, kFilaFim{"L126", "L127", "L128"},
        kVariavel{"L129", "L130", ""}, kFila{"L131", "L132", "L133"};
    std::vector<Campo> campos;
    std::string_view abertura;
    if (prefixo == "\\IMPORTTEXT{") {
        abertura = "LC18";
        campos = {kArquivo, kColunaIni, kColunaFim, kFilaIni, kFilaFim, kVariavel};
    } else if (prefixo == "\\IMPORTTABELARO{") {
        abertura = "LC19";
        campos = {kArquivo, kColuna, kFilaIni, kFilaFim, kVariavel};
    } else if (prefixo == "\\EXPORTTEXT{") {
        abertura = "LC20";
        campos = {kArquivo, kColuna, kFila, kVariavel};
    } else {
        abertura = "LC21";
        campos = {kArquivo, kColuna, kFila, kVariavel};
    }
    l(abertura);
    const std::vector<std::string> valores = separaCampos(x, ',');
    for (size_t i = 0; i < campos.size(); ++i) {
        const std::string_view v = i < valores.size() ? valores[i] : std::string_view();
        if (v.empty()) {
            l(campos[i].ausente);
            continue;
        }
        l(campos[i].presente);
        if (campos[i].naoNumero.empty() || !numeroEscrito(v, separador_)) soletra(v);
        else e_.fala.falaTexto(v);
        if (!campos[i].naoNumero.empty() && !numeroEscrito(v, separador_) && validaNomeLeitura(v))
            l(campos[i].naoNumero);
    }
    if (prefixo == "\\EXPORTTEXT{" && valores.size() > campos.size() && valores[campos.size()] == "TRUE")
        l("L135");
    else if (valores.size() < campos.size())
        l("L134");
}

void Leitor::leComando(const LinhaLida& lida) {
    const std::string_view pre = lida.prefixo;
    const std::string_view x = lida.parametro;
    if (!lida.comando) {
        const char c = x.empty() ? '\0' : x[0];
        if (digitoNumera(c) || letraNumera(c) || c == '=') leAtribuicao(x);
        return;
    }
    if (pre == "\\FOR{") {
        l("LC3");
        if (x.empty()) return l("L1");
        const size_t igual = x.find('=');
        const size_t dp = x.find(':', igual == std::string_view::npos ? 0 : igual);
        const std::string_view v = x.substr(0, std::min(igual, dp));
        const std::string_view a = igual == std::string_view::npos ? std::string_view()
                                                                    : x.substr(igual + 1, dp == std::string_view::npos ? std::string_view::npos : dp - igual - 1);
        const std::string_view b = dp == std::string_view::npos ? std::string_view() : x.substr(dp + 1);
        parteNome(v, {"L34", "L16", "L74", "L75", "L76"});
        parteExpressao(a, "L26", "L8");
        return parteExpressao(b, "L27", "L9");
    }
    if (pre == "\\WHILE{") return comparacao(x, "LC4", "L3", {"L28", "L10", "L33", "L15", "L29", "L11"});
    if (pre == "\\IF{") return comparacao(x, "LC2", "L2", {"L30", "L12", "L32", "L14", "L31", "L13"});
    if (pre == "\\BEGIN") return l("LC0");
    if (pre == "\\END") return l("LC1");
    if (pre == "\\CONTINUE") return l("LC6");
    if (pre == "\\N") return l("LC23");
    if (pre == "\\GOTO{") {
        l("LC5");
        return parteNome(x, {"L25", "L36", "L77", "L78", "L79"});
    }
    if (pre == "\\STEPRESULT{") {
        l("LC9");
        return leNumeroOuNome(x, "L21", "L4", "L86", numeroOuNomeSimples);
    }
    if (pre == "\\VARRESULT{") {
        l("LC10");
        return parteLista(x, {"L22", "L5", "L88", "L91", "L92", "L76"});
    }
    if (pre == "\\DELETECONSTANT{") {
        l("LC8");
        return parteLista(x, {"L24", "L7", "L80", "L89", "L90", "L87"});
    }
    if (pre == "\\DECIMAL{") {
        l("LC12");
        if (x == "0") return l("L95");
        return leNumeroOuNome(x, "L38", "L37", "L94", numeroOuNomeSimples);
    }
    if (pre == "\\SAVECONSTANT{") {
        l("LC7");
        return parteLista(x, {"L23", "L6", "L80", "L81", "L82", "L87"});
    }
    if (pre == "\\EVALUATE{") {
        l("LC14");
        std::vector<std::string> c = separaCampos(x, ':');
        c.resize(std::max<size_t>(c.size(), 6));
        if (std::all_of(c.begin(), c.begin() + 5, [](auto s) { return s.empty(); })) return l("L39");
        parteExpressao(c[0], "L40", "L41");
        parteNome(c[1], {"L42", "L43", "L74", "L75", "L76"});
        const auto numero = [&](std::string_view v, std::string_view presente, std::string_view falha,
                                std::string_view ausente) {
            if (v.empty()) return l(ausente);
            l(presente);
            soletra(v);
            if (!numeroEscrito(v, separador_)) l(falha);
        };
        numero(c[2], "L44", "L45", "L46");
        numero(c[3], "L47", "L48", "L49");
        if (!c[4].empty()) {
            l("L51");
            soletra(c[4]);
        }
        if (c[5].empty()) return l("L158");
        l("L55");
        return soletra(c[5]);
    }
    if (pre == "\\PRINT{" || pre == "\\PRINTER{") {
        l(pre == "\\PRINT{" ? "LC15" : "LC22");
        return leImprime(x);
    }
    if (pre == "\\SAVEEXPRESSION{") {
        l("LC16");
        l("L61");
        leAtribuicao(x);
        return l("L62");
    }
    if (pre == "\\DELETEEXPRESSION{") {
        l("LC17");
        return parteLista(x, {"L64", "L65", "L105", "L103", "L104", "L68"});
    }
    if (pre == "\\SAVEMEMORY{") {
        l("LC24");
        if (x.empty()) return;
        const size_t v = x.find(',');
        if (v == std::string_view::npos) {
            l("L159");
            return soletra(x);
        }
        l("L160");
        soletra(x.substr(v + 1));
        l("L161");
        return soletra(x.substr(0, v));
    }
    if (pre == "\\READMEMORY{") {
        l("LC25");
        if (x.empty()) return;
        l("L163");
        return soletra(x);
    }
    if (pre == "\\IMPORTTEXT{" || pre == "\\IMPORTTABELARO{" || pre == "\\EXPORTTEXT{" ||
        pre == "\\EXPORTTABELARO{")
        return leTroca(pre, x);
    // "\ELSE;", an empty line and the rest are not read.
}

// The points of a table: lines after the first, split at their first ";".
std::vector<std::pair<double, double>> pontosDaTabela(const std::vector<std::string>& linhas) {
    std::vector<std::pair<double, double>> pontos;
    const auto numero = [](std::string s, double& v) {
        std::replace(s.begin(), s.end(), ',', '.');
        char* fim = nullptr;
        v = std::strtod(s.c_str(), &fim);
        while (*fim == ' ') ++fim;
        return fim != s.c_str() && *fim == '\0' && std::isfinite(v);
    };
    for (size_t i = 1; i < linhas.size(); ++i) {
        const size_t pv = linhas[i].find(';');
        if (pv == std::string::npos) continue;
        double x = 0, y = 0;
        if (numero(linhas[i].substr(0, pv), x) && numero(linhas[i].substr(pv + 1), y)) pontos.emplace_back(x, y);
    }
    return pontos;
}

// Values scaled to 0..100 between their minimum and maximum; all equal gives the middle.
std::vector<double> escala(const std::vector<double>& v) {
    if (v.empty()) return {};
    const auto [mn, mx] = std::minmax_element(v.begin(), v.end());
    const double m = *mn, M = *mx;
    std::vector<double> r;
    for (double x : v) {
        if (M - m <= 0) r.push_back(50);
        else r.push_back(m >= 0 ? std::abs(x - std::abs(m)) * 100 / (M - m) : std::abs(std::abs(m) + x) * 100 / (M - m));
    }
    return r;
}

}  // namespace

std::vector<TomGrafico> tonsDoGrafico(const std::vector<std::pair<double, double>>& pontos) {
    if (pontos.size() < 2) return {};
    std::vector<double> alturas, rapidez;
    double maiorFinita = 0;
    for (size_t i = 1; i < pontos.size(); ++i) {
        const double dx = pontos[i].first - pontos[i - 1].first;
        const double dy = pontos[i].second - pontos[i - 1].second;
        alturas.push_back(pontos[i - 1].second);
        // A flat step (dy = 0) has no finite slope ratio: it is given the largest ratio of
        // the table, the tone of the slowest change.
        rapidez.push_back(dy == 0 ? -1 : std::abs(dx / dy));
        if (dy != 0) maiorFinita = std::max(maiorFinita, rapidez.back());
    }
    for (double& s : rapidez)
        if (s < 0) s = maiorFinita;
    const std::vector<double> p = escala(alturas);
    std::vector<double> s = escala(rapidez);
    std::vector<TomGrafico> tons;
    for (size_t i = 0; i < p.size(); ++i) {
        const double si = 100 - s[i];
        tons.push_back({(static_cast<int>(std::trunc(p[i])) + 1) * 30,
                        static_cast<int>(std::trunc(std::abs(std::trunc(si) + 10) * 4 * 5 / 18))});
    }
    return tons;
}

bool graficoSonoro(Editor& e, const std::vector<std::string>& tabela) {
    const std::vector<TomGrafico> tons = tonsDoGrafico(pontosDaTabela(tabela));
    if (tons.empty()) return false;
    e.crt.Delay(2000);
    for (const TomGrafico& t : tons) {
        if (e.crt.teclaPressionada()) break;
        e.fala.anota("tom " + std::to_string(t.hz) + " " + std::to_string(t.ms));
        e.crt.Sound(t.hz);
        e.crt.Delay(t.ms);
    }
    e.crt.NoSound();
    return true;
}

void leituraLinha(Editor& e) {
    e.numera.estadoNumera = 1;
    const std::string linha = e.ed.linha(e.ed.linhaAtual);
    // \READFUNCTION{name};: the table played as tones.
    std::string n;
    for (char c : linha)
        if (c != ' ' && c != '\t') n += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    constexpr std::string_view kLeFuncao = "\\READFUNCTION{";
    if (n.rfind(kLeFuncao, 0) == 0 && n.size() >= kLeFuncao.size() + 2 && n.compare(n.size() - 2, 2, "};") == 0) {
        const std::string tabela = n.substr(kLeFuncao.size(), n.size() - kLeFuncao.size() - 2);
        // Looked for where EVALUATE writes it: the document's folder, a plain file there.
        const std::optional<std::filesystem::path> arquivo =
            tabela.empty() ? std::nullopt : arquivoTroca(e, tabela, ".csv");
        const std::optional<std::vector<std::string>> linhas =
            arquivo ? leLinhasTroca(*arquivo) : std::nullopt;
        if (tabela.empty()) {
            e.fala.falaTexto("arquivo nao definido");
        } else if (!linhas) {
            e.fala.falaTexto("arquivo nao encontrado");
        } else {
            if (!graficoSonoro(e, *linhas)) e.fala.falaTexto("tabela sem pontos");
            return e.fala.tocaSom("\\COMANDOS\\MENSAJES\\M2");
        }
    }
    Leitor(e).le(linha);
}

std::vector<std::string> promptsLeitura() {
    // The reading prompts the statement kinds above play.
    static constexpr std::string_view kNomes = "L1 L2 L3 L4 L5 L6 L7 L8 L9 L10 L11 L12 L13 L14 L15 L16 L17 L21 L22 L23 L24 L25 L26 L27 L28 L29 L30 L31 L32 L33 L34 L35 L36 L37 L38 L39 L40 L41 L42 L43 L44 L45 L46 L47 L48 L49 L51 L55 L57 L58 L59 L60 L61 L62 L64 L65 L66 L67 L68 L69 L70 L71 L72 L73 L74 L75 L76 L77 L78 L79 L80 L81 L82 L83 L84 L85 L86 L87 L88 L89 L90 L91 L92 L94 L95 L96 L97 L98 L99 L100 L102 L103 L104 L105 L106 L107 L108 L109 L112 L113 L114 L115 L116 L117 L118 L119 L120 L121 L122 L123 L124 L125 L126 L127 L128 L129 L130 L131 L132 L133 L134 L135 L158 L159 L160 L161 L162 L163 LC0 LC1 LC2 LC3 LC4 LC5 LC6 LC7 LC8 LC9 LC10 LC12 LC13 LC14 LC15 LC16 LC17 LC18 LC19 LC20 LC21 LC22 LC23 LC24 LC25";
    std::vector<std::string> nomes;
    for (std::string_view n : separaCampos(kNomes, ' ')) nomes.push_back(kLeitura + std::string(n));
    for (int n = 0; n <= 17; ++n) nomes.push_back(kPalavras + "P" + std::to_string(n));
    for (int n = 0; n < static_cast<int>(nomesFuncoes.size()); ++n)
        nomes.push_back("\\COMANDOS\\FUNCIONES\\FE" + std::to_string(n));
    return nomes;
}
