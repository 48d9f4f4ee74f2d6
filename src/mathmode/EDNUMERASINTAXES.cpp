#include "mathmode/EDNUMERASINTAXES.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "editor/editor.h"
#include "mathmode/EDNUMERAVARS.h"
#include "platform/caminhos.h"

namespace fs = std::filesystem;

// ---------------------------------------------------------------- the translator

namespace {

bool termina(std::string_view s, std::string_view fim) {
    return s.size() >= fim.size() && s.substr(s.size() - fim.size()) == fim;
}
bool comeca(std::string_view s, std::string_view inicio) { return s.substr(0, inicio.size()) == inicio; }

// A name such as the exchange statements need: not starting with a digit, name characters only.
bool nomeValido(std::string_view s) {
    return !s.empty() && !digitoNumera(s[0]) && std::all_of(s.begin(), s.end(), caractereDeNome);
}

bool existeArquivo(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

// The "-" of a unary minus becomes "(0-1)*": the run-time knows only binary operators.
void reescreveMenosUnario(std::string& s) {
    static constexpr std::string_view kAntes = "+-*(=/";
    for (size_t p = 1; p < s.size(); ++p) {
        if (s[p] == '-' && kAntes.find(s[p - 1]) != std::string_view::npos) {
            s.replace(p, 1, "(0-1)*");
            p += 5;
        }
    }
}

std::string negaComparacao(std::string_view op) {
    if (op == "<") return ">=";
    if (op == ">=") return "<";
    if (op == ">") return "<=";
    if (op == "<=") return ">";
    if (op == "=") return "<>";
    return "=";
}

enum class Bloco { FOR, WHILE, IF };

struct CondicaoIf {
    std::string x, op, y;
};

class Tradutor {
  public:
    explicit Tradutor(Editor& e) : e_(e), n_(e.numera) {}

    std::vector<std::string> executa() {
        inicia();
        if (n_.estadoNumera != 2 && localizaPrograma()) {
            for (linha_ = linhaInicio_; linha_ <= e_.ed.nLinhas() && !fimVisto_ && n_.estadoNumera != 2;
                 ++linha_)
                traduzInstrucao();
            if (!fimVisto_ && n_.estadoNumera != 2) {
                // The END line was taken into a statement that ran over it.
                linha_ = e_.ed.nLinhas();
                erro(55);
            }
            if (n_.estadoNumera != 2) n_.linhaErro = linha_ - 1;
        }
        std::vector<std::string> arquivo{std::string()};
        arquivo.insert(arquivo.end(), codigo_.begin(), codigo_.end());
        if (!gravaLinhasNumera("codigo.txt", arquivo) && n_.estadoNumera != 2) erro(5);
        return std::move(codigo_);
    }

  private:
    Editor& e_;
    EstadoNumera& n_;
    char separador_ = '.';
    std::set<fs::path> exportados_;  // the files the program's exports will make
    std::vector<std::string> noValidas_;
    int linha_ = 0;  // linhaFonte
    int linhaInicio_ = 0;
    int contadorInstrucoes_ = 1;
    int instrucoesExtra_ = 0;
    int indiceCodigo_ = 0;  // statements written (NOP lines are none)
    std::vector<std::string> alvos_;
    std::vector<Bloco> blocos_;  // nivelBloco is its size
    std::vector<CondicaoIf> pilhaIf_;
    bool inicioVisto_ = false, fimVisto_ = false;
    std::vector<std::string> codigo_;

    void inicia() {
        n_.estadoNumera = 0;
        n_.codigoErro = 0;
        n_.parametroErro.clear();
        n_.notaErro.clear();
        n_.linhaErro = 0;
        n_.mapaLinhas.fill(0);
        n_.etiquetas.clear();
        n_.linhaResultados = e_.ed.linhaAtual + 1;
        separador_ = separadorDecimal(e_);
        if (!esvaziaArquivo("codigo.txt")) return void(erro(5));
        const fs::path proibidas = arquivoNumeraLeitura(e_, "noValidas.ini");
        if (!existeArquivo(proibidas)) return void(erro(5));
        for (std::string& l : leLinhasNumera(proibidas))
            if (!l.empty()) noValidas_.push_back(std::move(l));
    }

    bool erro(int codigo, std::string parametro = {}) {
        n_.estadoNumera = 2;
        n_.codigoErro = codigo;
        n_.linhaErro = linha_;
        if (culpaDoSeparador(codigo, parametro))
            n_.notaErro = separador_ == '.'
                              ? "Separador decimal: a v\xEDrgula foi lida como ponto "
                                "(SEPARADORDECIMAL=, mant\xE9m a v\xEDrgula)."
                              : "Separador decimal: o ponto foi lido como v\xEDrgula "
                                "(SEPARADORDECIMAL=. mant\xE9m o ponto).";
        n_.parametroErro = std::move(parametro);
        return false;
    }

    // The offending character is the separator (or an error about the separator) and the
    // line holds the other character, which the rule turned into it.
    bool culpaDoSeparador(int codigo, const std::string& parametro) const {
        const bool sobreSeparador = parametro == std::string(1, separador_) || codigo == 31 || codigo == 32;
        if (!sobreSeparador || linha_ < 1 || linha_ > e_.ed.nLinhas()) return false;
        return e_.ed.linha(linha_).find(separador_ == '.' ? ',' : '.') != std::string::npos;
    }

    // ------------------------------------------------------------ locating the program

    // A line as the search for BEGIN and END sees it: normalised, its label dropped.
    std::string semEtiqueta(int i) const {
        std::string l = normalizaLinha(e_.ed.vista(i), separador_);
        if (!comeca(l, "\\")) {
            const size_t p = l.find(':');
            if (p != std::string::npos) l.erase(0, p + 1);
        }
        return l;
    }

    bool localizaPrograma() {
        const int cursor = std::clamp(e_.ed.linhaAtual, 1, std::max(1, e_.ed.nLinhas()));
        int fim = cursor;
        while (fim <= e_.ed.nLinhas() && semEtiqueta(fim) != "\\END;") ++fim;
        if (fim > e_.ed.nLinhas()) {
            linha_ = cursor;
            return erro(55);
        }
        n_.linhaResultados = fim + 1;
        int inicio = cursor;
        while (inicio >= 1 && semEtiqueta(inicio) != "\\BEGIN;") --inicio;
        if (inicio < 1) {
            linha_ = 0;
            return erro(4);
        }
        linhaInicio_ = inicio;
        return true;
    }

    // ------------------------------------------------------------ one statement

    // Steps 1 to 3: fetched, normalised, matrix indices marked; empty when nothing is left.
    std::string buscaLinha(int i) const { return normalizaLinha(e_.ed.vista(i), separador_); }

    // In a matrix element the first "," after its type prefix separates the indices: "a".
    static void marcaIndicesMatriz(std::string& l) {
        for (std::string_view prefixo : {"M_S", "M_N"}) {
            for (size_t p = l.find(prefixo); p != std::string::npos; p = l.find(prefixo, p + 3)) {
                const size_t virgula = l.find(',', p + 3);
                if (virgula != std::string::npos) l[virgula] = 'a';
            }
        }
    }

    // Step 4 for the statement's first line: the label is checked and recorded.
    bool tiraEtiqueta(std::string& l) {
        if (comeca(l, "\\")) return true;
        const size_t p = l.find(':');
        if (p == std::string::npos) return true;
        const std::string nome = l.substr(0, p);
        if (nome.empty()) return erro(36);
        if (digitoNumera(nome[0])) return erro(38, nome.substr(0, 1));
        for (char c : nome)
            if (!caractereDeNome(c)) return erro(37, std::string(1, c));
        for (const EtiquetaNumera& et : n_.etiquetas)
            if (et.nome == nome) return erro(39, nome);
        n_.etiquetas.push_back({nome, contadorInstrucoes_ + instrucoesExtra_});
        l.erase(0, p + 1);
        return true;
    }

    void traduzInstrucao() {
        std::string l = buscaLinha(linha_);
        if (l.empty()) return codigo_.push_back("\\NOP;");
        const bool temPontoVirgula = termina(l, ";");
        if (temPontoVirgula) marcaIndicesMatriz(l);
        if (!tiraEtiqueta(l)) return;
        if (l.empty() || l == "\\NOP;") return codigo_.push_back("\\NOP;");

        const auto prefixo = std::find_if(prefixosComando.begin(), prefixosComando.end(),
                                          [&](std::string_view p) { return comeca(l, p); });
        if (prefixo == prefixosComando.end()) {
            if (l[0] == '\\') return void(erro(1));
            return traduzExpressao(std::move(l), temPontoVirgula);
        }
        traduzComando(*prefixo, l);
    }

    // Steps 5 and 6 for a command, then its own rules.
    void traduzComando(std::string_view prefixo, const std::string& l) {
        if (prefixo == "\\VARIABLES{" || prefixo == "\\TEMP") return void(erro(2));
        std::string parametro;
        if (prefixo.back() == '{') {
            if (!termina(l, "};") || l.size() < prefixo.size() + 2) return void(erro(2));
            parametro = l.substr(prefixo.size(), l.size() - prefixo.size() - 2);
        } else {
            if (!termina(l, ";")) return void(erro(2));
            // "\ENDIF;" is no END: a command without parameters is its word alone.
            if (l.substr(0, l.size() - 1) != prefixo.substr(0, prefixo.size() - (prefixo.back() == ';')))
                return void(erro(1));
        }
        n_.estadoNumera = 1;
        reescreveMenosUnario(parametro);
        const std::string comando(prefixo.substr(0, prefixo.size() - 1));  // without "{"

        if (prefixo == "\\BEGIN") {
            if (inicioVisto_) return void(erro(3));
            inicioVisto_ = true;
            return escreve("\\BEGIN{INICIO};");
        }
        if (prefixo == "\\END") return traduzFim();
        if (prefixo == "\\CONTINUE") {
            if (!blocos_.empty()) {
                if (blocos_.back() == Bloco::IF && !pilhaIf_.empty()) pilhaIf_.pop_back();
                blocos_.pop_back();
            }
            return escreve("\\CONTINUE{vacio};");
        }
        if (prefixo == "\\N") return escreve("\\N{vacio};");
        if (prefixo == "\\ELSE") return traduzSenao();
        if (prefixo == "\\FOR{") return traduzPara(parametro);
        if (prefixo == "\\WHILE{" || prefixo == "\\IF{") return traduzCondicao(prefixo, parametro);
        if (prefixo == "\\GOTO{") return traduzDesvio(parametro);
        if (prefixo == "\\EXPRESSION{") return traduzAtribuicao(parametro);
        if (prefixo == "\\SAVEEXPRESSION{") {
            if (!validaAtribuicao(parametro, {72, 73, 74})) return;
            return escreve(comando + "{" + parametro + "};");
        }
        if (prefixo == "\\EVALUATE{") return traduzAvalia(parametro);
        if (!validaParametro(prefixo, parametro)) return;
        if (parametro.empty() && (prefixo == "\\STEPRESULT{" || prefixo == "\\DECIMAL{" ||
                                  prefixo == "\\DELETECONSTANT{" || prefixo == "\\DELETEEXPRESSION{"))
            parametro = "vacio";
        escreve(comando + "{" + parametro + "};");
    }

    // The checks of the commands whose code line is the line itself.
    bool validaParametro(std::string_view prefixo, const std::string& p) {
        if (prefixo == "\\VARRESULT{") return p.empty() ? erro(28) : validaLista(p);
        if (prefixo == "\\SAVECONSTANT{") return p.empty() ? erro(34) : validaLista(p);
        if (prefixo == "\\DELETECONSTANT{" || prefixo == "\\DELETEEXPRESSION{")
            return p.empty() || validaLista(p);
        if (prefixo == "\\STEPRESULT{") return p.empty() || numeroEscrito(p, separador_) || validaNomeSimples(p, 35);
        if (prefixo == "\\DECIMAL{") return p.empty() || numeroEscrito(p, separador_) || validaNomeSimples(p, 56);
        if (prefixo == "\\PRINT{" || prefixo == "\\PRINTER{") return validaImpressao(p);
        if (prefixo == "\\IMPORTTABELARO{") return validaImportaTabela(p);
        if (prefixo == "\\EXPORTTABELARO{") return validaExportacao(p, ".csv", 116);
        if (prefixo == "\\IMPORTTEXT{") return validaImportaTexto(p);
        if (prefixo == "\\EXPORTTEXT{") return validaExportacao(p, ".txt", 114);
        return true;  // SAVEMEMORY, READMEMORY
    }

    // Every statement written is numbered and mapped to the line where it begins.
    void escreve(std::string linhaCodigo, int linhaDocumento = 0) {
        if (indiceCodigo_ >= static_cast<int>(n_.mapaLinhas.size())) return void(erro(5));
        n_.mapaLinhas[static_cast<size_t>(indiceCodigo_++)] = linhaDocumento ? linhaDocumento : linha_;
        codigo_.push_back(std::move(linhaCodigo));
        ++contadorInstrucoes_;
    }

    void traduzFim() {
        for (const std::string& alvo : alvos_) {
            const bool existe = std::any_of(n_.etiquetas.begin(), n_.etiquetas.end(),
                                            [&](const EtiquetaNumera& et) { return et.nome == alvo; });
            if (!existe) return void(erro(42, alvo));
        }
        escreve("\\END{FINAL};");
        fimVisto_ = true;
    }

    void traduzSenao() {
        if (blocos_.empty() || blocos_.back() != Bloco::IF || pilhaIf_.empty()) return void(erro(1));
        CondicaoIf& c = pilhaIf_.back();
        c.op = negaComparacao(c.op);
        if (indiceCodigo_ + 1 >= static_cast<int>(n_.mapaLinhas.size())) return void(erro(5));
        escreve("\\CONTINUE{vacio};");
        --contadorInstrucoes_;
        ++instrucoesExtra_;
        escreve(insereMultiplicacoes("\\IF{" + c.x + c.op + c.y + "};"));
    }

    void traduzPara(const std::string& p) {
        const size_t igual = p.find('=');
        if (igual == std::string::npos) return void(erro(13));
        const size_t doisPontos = p.find(':', igual);
        if (doisPontos == std::string::npos) return void(erro(14));
        const std::string v = p.substr(0, igual);
        const std::string a = p.substr(igual + 1, doisPontos - igual - 1);
        const std::string b = p.substr(doisPontos + 1);
        if (v.empty()) return void(erro(15));
        if (a.empty()) return void(erro(16));
        if (b.empty()) return void(erro(17));
        if (!validaNome(v) || !validaExpressoes(a, b)) return;
        blocos_.push_back(Bloco::FOR);
        escreve(insereMultiplicacoes("\\FOR{" + p + "};"));
    }

    void traduzCondicao(std::string_view prefixo, const std::string& p) {
        const bool se = prefixo == "\\IF{";
        const int base = se ? 21 : 18;
        const auto op = std::find_if(operadoresComparacao.begin(), operadoresComparacao.end(),
                                     [&](std::string_view o) { return p.find(o) != std::string::npos; });
        if (op == operadoresComparacao.end()) return void(erro(base));
        const size_t pos = p.find(*op);
        const std::string x = p.substr(0, pos), y = p.substr(pos + op->size());
        if (x.empty()) return void(erro(base + 1));
        if (y.empty()) return void(erro(base + 2));
        if (!validaExpressoes(x, y)) return;
        blocos_.push_back(se ? Bloco::IF : Bloco::WHILE);
        if (se) pilhaIf_.push_back({x, std::string(*op), y});
        escreve(insereMultiplicacoes(std::string(prefixo) + p + "};"));
    }

    void traduzDesvio(const std::string& t) {
        if (t.empty()) return void(erro(51));
        if (digitoNumera(t[0])) return void(erro(41, t.substr(0, 1)));
        for (char c : t)
            if (!digitoNumera(c) && !letraNumera(c)) return void(erro(40, std::string(1, c)));
        alvos_.push_back(t);
        escreve("\\GOTO{" + t + "};");
    }

    void traduzAvalia(const std::string& p) {
        const std::vector<std::string> partes = separaCampos(p, ':');
        auto parte = [&](size_t i) { return i < partes.size() ? partes[i] : std::string(); };
        static constexpr int kVazia[] = {60, 64, 61, 62, 63};
        for (size_t i = 0; i < 5; ++i)
            if (parte(i).empty()) return void(erro(kVazia[i]));
        // Without the file's name there is nowhere to write the table.
        if (partes.size() < 6 || partes[5].empty()) return void(erro(111));
        const std::string& f = partes[0];
        if (!validaExpressao(f) || !validaSequencias(f) || !validaParenteses(f) || !validaNome(partes[1]))
            return;
        std::string linha = "\\EVALUATE{" + insereMultiplicacoes(f);
        for (size_t i = 1; i < partes.size(); ++i) linha += ":" + partes[i];
        escreve(linha + "};");
    }

    // ------------------------------------------------------------ expression statements

    void traduzExpressao(std::string l, bool temPontoVirgula) {
        const int inicio = linha_;
        while (!termina(l, ";")) {
            if (++linha_ > e_.ed.nLinhas()) {
                linha_ = inicio;
                return void(erro(2));
            }
            std::string continuacao = buscaLinha(linha_);
            if (!comeca(continuacao, "\\")) {
                const size_t p = continuacao.find(':');
                if (p != std::string::npos) continuacao.erase(0, p + 1);
            }
            l += continuacao;
        }
        if (!temPontoVirgula) marcaIndicesMatriz(l);
        n_.estadoNumera = 1;
        l.pop_back();
        if (comeca(l, "IN") && l.find('=') == std::string::npos) return traduzEntrada(l.substr(2), inicio);
        reescreveMenosUnario(l);
        traduzAtribuicao(l, inicio);
    }

    struct ErrosAtribuicao {
        int semIgual, semNome, semExpressao;
    };

    bool validaAtribuicao(const std::string& p, ErrosAtribuicao erros) {
        const size_t igual = p.find('=');
        if (igual == std::string::npos) return erro(erros.semIgual);
        const std::string y = p.substr(0, igual), x = p.substr(igual + 1);
        if (y.empty()) return erro(erros.semNome);
        if (x.empty()) return erro(erros.semExpressao);
        if (!validaNome(y)) return false;
        if (nomeDeTexto(y)) return true;
        return validaExpressao(x) && validaSequencias(x) && validaParenteses(x);
    }

    void traduzAtribuicao(const std::string& p, int inicio = 0) {
        if (!validaAtribuicao(p, {29, 30, 71})) return;
        std::string linha = "\\EXPRESSION{" + p + "};";
        if (!nomeDeTexto(p.substr(0, p.find('=')))) linha = insereMultiplicacoes(linha);
        escreve(std::move(linha), inicio);
    }

    // "IN name;": the value is asked for now and the statement becomes an assignment.
    void traduzEntrada(const std::string& nome, int inicio) {
        if (nome.empty()) return void(erro(30));
        if (!validaNome(nome)) return;
        mostraPerguntaNumera(e_, "Introduza o valor da vari\xE1vel " + nome);
        e_.fala.tocaSom("\\COMANDOS\\PARAMETROS\\P110");
        e_.fala.soletra(nome);
        const std::string valor = normalizaLinha(leLinhaNumera(e_, nome), separador_);
        mostraPerguntaNumera(e_, "");
        if (!validaAtribuicao(nome + "=" + valor, {29, 30, 71})) return;
        if (nomeDeTexto(nome)) return escreve("\\EXPRESSION{" + nome + "=" + valor + "};", inicio);
        // A "0" before a leading sign makes it a subtraction or an addition; before anything
        // else it would become a product with zero ("0ABC" is "0*ABC").
        const bool sinal = valor.front() == '-' || valor.front() == '+';
        std::string atribuicao = nome + (sinal ? "=0" : "=") + valor;
        reescreveMenosUnario(atribuicao);
        escreve(insereMultiplicacoes("\\EXPRESSION{" + atribuicao + "};"), inicio);
    }

    // ------------------------------------------------------------ validation

    bool validaNome(std::string_view nome) {
        if (!nome.empty() && digitoNumera(nome[0])) return erro(8, std::string(nome));
        for (char c : nome)
            if (!caractereDeNome(c)) return erro(9, std::string(1, c));
        return true;
    }

    // STEPRESULT and DECIMAL name their variable with digits, A-Z, "[", "]", "a" and ",".
    bool validaNomeSimples(std::string_view nome, int codigo) {
        if (!nome.empty() && digitoNumera(nome[0])) return erro(codigo, std::string(nome));
        for (char c : nome)
            if (!digitoNumera(c) && !letraNumera(c) && c != '[' && c != ']' && c != 'a' && c != ',')
                return erro(codigo, std::string(1, c));
        return true;
    }

    bool validaLista(std::string_view l) {
        if (l.front() == ',') return erro(26);
        if (l.back() == ',') return erro(27);
        for (char c : l)
            if (!caractereDeNome(c) && c != ',') return erro(24, std::string(1, c));
        if (l.find(",,") != std::string_view::npos) return erro(25);
        for (const std::string& nome : separaCampos(l, ','))
            if (!validaNome(nome)) return false;
        return true;
    }

    bool validaExpressao(std::string_view x) {
        static constexpr std::string_view kOperadores = "()*+-/";
        for (char c : x)
            if (!caractereDeNome(c) && c != separador_ && kOperadores.find(c) == std::string_view::npos)
                return erro(6, std::string(1, c));
        if (x.front() == separador_) return erro(31);
        if (x.back() == separador_) return erro(32);
        if (std::string_view("*-+/,.").find(x.back()) != std::string_view::npos)
            return erro(6, std::string(1, x.back()));
        return true;
    }

    bool validaSequencias(std::string_view x) {
        for (const std::string& s : noValidas_)
            if (x.find(s) != std::string_view::npos) return erro(10, s);
        return true;
    }

    bool validaParenteses(std::string_view x) {
        int nivel = 0;
        for (char c : x) {
            nivel += c == '(' ? 1 : c == ')' ? -1 : 0;
            if (nivel < 0) return erro(11);
        }
        return nivel == 0 || erro(12);
    }

    bool validaExpressoes(const std::string& a, const std::string& b) {
        return validaExpressao(a) && validaExpressao(b) && validaSequencias(a) && validaSequencias(b) &&
               validaParenteses(a) && validaParenteses(b);
    }

    bool validaImpressao(std::string p) {
        if (p.empty()) return erro(78);
        if (p.front() == '+') return erro(75);
        if (p.back() == '+') return erro(76);
        if (p.find("\"\"") != std::string::npos) return erro(79);
        // Quoted texts are printed as they are; what is left are names.
        for (size_t a = p.find('"'); a != std::string::npos; a = p.find('"')) {
            const size_t b = p.find('"', a + 1);
            if (b == std::string::npos) break;
            p.erase(a, b - a + 1);
        }
        for (const std::string& item : separaCampos(p, '+'))
            if (!item.empty() && !validaNome(item)) return false;
        return true;
    }

    bool validaCampos(const std::vector<std::string>& campos, std::initializer_list<int> erros) {
        size_t i = 1;
        for (int codigo : erros) {
            const std::string& c = campos[i++];
            if (!numeroEscrito(c, separador_) && !nomeValido(c)) return erro(codigo, c);
        }
        return true;
    }

    // The exchange file a statement names, in the document's folder: error 96 when it may not
    // be used (a name out of the folder, a FIFO, a link out, a hard-linked file); an import
    // needs it there, or made by an export earlier in the program, else error 80. Nothing is
    // created here: an export's file is made when the run writes it.
    bool validaArquivo(const std::string& nome, std::string_view extensao, bool importa) {
        const std::optional<fs::path> arquivo = arquivoTroca(e_, nome, extensao);
        if (!arquivo) return erro(96, nome);
        if (!importa) {
            exportados_.insert(*arquivo);
            return true;
        }
        std::error_code ec;
        return fs::exists(*arquivo, ec) || exportados_.count(*arquivo) || erro(80, nome);
    }

    bool validaImportaTabela(const std::string& p) {
        const std::vector<std::string> campos = separaCampos(p, ',');
        if (!validaArquivo(campos[0], ".csv", true)) return false;
        if (campos.size() != 5) return erro(111);
        if (!validaCampos(campos, {107, 108, 109})) return false;
        return nomeValido(campos[4]) || erro(110, campos[4]);
    }

    bool validaImportaTexto(const std::string& p) {
        const std::vector<std::string> campos = separaCampos(p, ',');
        if (!validaArquivo(campos[0], ".txt", true)) return false;
        if (campos.size() != 6) return erro(111);
        if (!validaCampos(campos, {114, 115, 108, 109})) return false;
        return nomeValido(campos[5]) || erro(110, campos[5]);
    }

    // EXPORTTABELARO{f,c,r,v} and EXPORTTEXT{f,c,r,v[,TRUE]}.
    bool validaExportacao(const std::string& p, std::string_view extensao, int erroLinha) {
        const std::vector<std::string> campos = separaCampos(p, ',');
        const bool texto = extensao == ".txt";
        if (campos.size() != 4 && !(texto && campos.size() == 5)) return erro(111);
        if (!validaCampos(campos, {107, erroLinha})) return false;
        if (!nomeValido(campos[3])) return erro(110, campos[3]);
        if (campos.size() == 5 && campos[4] != "TRUE") return erro(117, campos[4]);
        return validaArquivo(campos[0], extensao, false);
    }
};

}  // namespace

std::string insereMultiplicacoes(std::string l) {
    static constexpr std::string_view kAntesParentese = "={+-*/(<>:";
    static constexpr std::string_view kDepoisParentese = "}+-*/)=<>:;";
    bool emNome = false, emNumero = false;
    for (size_t i = 0; i < l.size() && l[i] != ';'; ++i) {
        const char c = l[i];
        if (c == '(' && i > 0 && kAntesParentese.find(l[i - 1]) == std::string_view::npos) {
            l.insert(i, 1, '*');
            ++i;
        } else if (c == ')' && i + 1 < l.size() && kDepoisParentese.find(l[i + 1]) == std::string_view::npos) {
            l.insert(i + 1, 1, '*');
        }
        // A number followed by a letter is a product ("2X"), unless the letter is an
        // exponent ("1.5E-3"); digits inside a name ("X2Y") are part of it.
        if (digitoNumera(c) && !emNome) {
            emNumero = true;
            const char d = i + 1 < l.size() ? l[i + 1] : '\0';
            const char depois = i + 2 < l.size() ? l[i + 2] : '\0';
            if (letraNumera(d) && !(d == 'E' && (depois == '+' || depois == '-'))) {
                l.insert(i + 1, 1, '*');
                emNumero = false;
            }
            continue;
        }
        if (emNumero && (c == 'E' || ((c == '+' || c == '-') && l[i - 1] == 'E') || c == '.' || c == ','))
            continue;
        emNumero = false;
        emNome = letraNumera(c) || c == '_' || (emNome && digitoNumera(c));
    }
    return l;
}

std::string normalizaLinha(std::string_view texto, char separador) {
    const char outro = separador == '.' ? ',' : '.';
    std::string l;
    l.reserve(texto.size());
    bool entreAspas = false;
    for (char c : texto) {
        if (c == ' ' || c == '\t') continue;
        if (c == outro) c = separador;
        if (c == '"') entreAspas = !entreAspas;
        // Quoted texts keep their case here; only PRINT's keep it in the end (below).
        if (!entreAspas && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        l.push_back(c);
    }
    if (const size_t p = l.find("%%"); p != std::string::npos) l.erase(p);
    for (size_t a = l.find("%{"); a != std::string::npos; a = l.find("%{", a)) {
        const size_t b = l.find("}%", a + 2);
        if (b == std::string::npos) break;  // an unclosed comment stays
        l.erase(a, b + 2 - a);
    }
    // The text PRINT and PRINTER write is the user's, as typed; everywhere else a quote is
    // part of a name or a value, upper-cased like the rest.
    const size_t rotulo = l.empty() || l[0] == '\\' ? std::string::npos : l.find(':');
    const std::string_view instrucao = std::string_view(l).substr(rotulo == std::string::npos ? 0 : rotulo + 1);
    if (!comeca(instrucao, "\\PRINT{") && !comeca(instrucao, "\\PRINTER{"))
        for (char& c : l)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return l;
}


std::vector<std::string> traduzPrograma(Editor& e) { return Tradutor(e).executa(); }
