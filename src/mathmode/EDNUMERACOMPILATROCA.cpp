#include "mathmode/EDNUMERACOMPILATROCA.h"

#include <cmath>
#include <fstream>

#include "editor/editor.h"
#include "mathmode/EDNUMERACOMPILAMEMORIA.h"
#include "mathmode/EDNUMERAFUNCOES.h"
#include "mathmode/EDNUMERAVARS.h"
#include "platform/caminhos.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kApagar = "1APAGAR";

// The most rows one statement may add to a file or read into variables, and the most
// columns it may add to a row (characters of a text line, fields of a table row): a slip
// such as row 100000000 is refused (error 5) instead of taking the machine's memory.
constexpr long long kMaxLinhas = 1'000'000, kMaxColunas = 65'536;

// Splits «a,b,c»; the parts as written.
std::vector<std::string> campos(std::string_view p) { return separaCampos(p, ','); }

// Names of a list that are internal to the run and never saved.
bool interna(std::string_view nome) {
    for (std::string_view n : {"IFOR", "FFOR", "VWHILE1", "VWHILE2", "VIF", "VFOR", "evaluate"})
        if (nome == n) return true;
    return false;
}

class Troca {
public:
    explicit Troca(const ContextoTroca& c)
        : e_(c.e), m_(c.m), s_(c.s), expressoes_(c.expressoes), arquivos_(c.arquivos) {}

    void salvaConstantes(std::string_view lista);
    void apagaConstantes(std::string_view lista);
    void salvaExpressao(std::string_view original);
    void apagaExpressoes(std::string_view lista);
    void salvaMemoria(std::string_view p);
    void leMemoria(std::string_view p);
    void avaliaTabela(std::string_view p, std::string_view original);
    void importaTabela(std::string_view p);
    void exportaTabela(std::string_view p);
    void importaTexto(std::string_view p);
    void exportaTexto(std::string_view p);

private:
    bool falha(int codigo, std::string_view parametro = {}) {
        return falhaNumera(s_, codigo, parametro);
    }
    bool arquivo(std::string_view nome, std::string_view extensao, fs::path& saida) {
        const std::string chave = std::string(nome) + std::string(extensao);
        if (auto it = arquivos_.resolvidos.find(chave); it != arquivos_.resolvidos.end()) {
            saida = it->second;
            return true;
        }
        const std::optional<fs::path> achado = arquivoTroca(e_, nome, extensao);
        if (!achado) return falha(96, nome);
        saida = *achado;
        arquivos_.resolvidos.emplace(chave, saida);
        return true;
    }
    // The lines of a file the program reads; nullptr (error 80, or 96) when there is none.
    const std::vector<std::string>* leitura(std::string_view nome, std::string_view extensao) {
        fs::path origem;
        if (!arquivo(nome, extensao, origem)) return nullptr;
        const std::vector<std::string>* linhas = arquivos_.existente(origem);
        if (!linhas) falha(80, nome);
        return linhas;
    }
    bool inteiro(std::string_view t, int erro, long long& valor);
    // Whether an export may write at column c of row r of `destino` (its parameters as
    // written): a row within the file or no further than the limit, a column within the
    // limit; error 5 with the number as written when not, before anything is changed.
    bool cabe(const fs::path& destino, long long r, long long c, const std::vector<std::string>& partes) {
        const std::vector<std::string>* atuais = arquivos_.existente(destino);
        const long long tem = atuais ? static_cast<long long>(atuais->size()) : 0;
        if (r > kMaxLinhas && r > tem) return falha(5, partes[2]);
        return c <= kMaxColunas || falha(5, partes[1]);
    }
    bool guardaLidos(const std::vector<std::string>& lidos, std::string_view destino);
    bool valorTexto(std::string_view nome, std::string& texto);

    Editor& e_;
    MemoriaNumera& m_;
    EstadoNumera& s_;
    std::vector<std::string>& expressoes_;
    ArquivosRun& arquivos_;
};

// A list of pairs name/value rewritten: the file emptied, then every line not marked.
void regravaPares(std::string_view arquivo, const std::vector<std::string>& pares) {
    std::vector<std::string> linhas{""};
    for (const std::string& l : pares)
        if (l != kApagar) linhas.push_back(l);
    gravaLinhasNumera(arquivo, linhas);
}

// The position of a name in a flat list name, value, name, value...; its size when absent.
size_t achaPar(const std::vector<std::string>& pares, std::string_view nome) {
    for (size_t i = 0; i + 1 < pares.size(); i += 2)
        if (pares[i] == nome) return i;
    return pares.size();
}

void Troca::salvaConstantes(std::string_view lista) {
    const std::vector<std::string> nomes = campos(lista);
    for (const std::string& n : nomes)
        if (m_.indiceNumerico(n) >= m_.nomesNumericos().size()) return void(falha(45, n));
    for (const std::string& n : nomes) {
        const std::string valor =
            textoGeral(m_.valoresNumericos()[m_.indiceNumerico(n)], m_.separador);
        const size_t i = achaPar(m_.constantesUsuario, n);
        if (i == m_.constantesUsuario.size()) {
            m_.constantesUsuario.push_back(n);
            m_.constantesUsuario.push_back(valor);
        } else {
            m_.constantesUsuario[i + 1] = valor;
        }
    }
    m_.constantesMudaram();
    regravaPares("constantesUsuario.txt", m_.constantesUsuario);
}

// DELETECONSTANT and DELETEEXPRESSION: "vacio" deletes all; else every name must be there.
bool apagaPares(std::vector<std::string>& pares, std::string_view lista, std::string& faltando) {
    if (lista == "vacio") {
        pares.clear();
        return true;
    }
    const std::vector<std::string> nomes = campos(lista);
    for (const std::string& n : nomes) {
        if (achaPar(pares, n) == pares.size()) {
            faltando = n;
            return false;
        }
    }
    for (const std::string& n : nomes) {
        const size_t i = achaPar(pares, n);
        if (i < pares.size()) pares[i] = pares[i + 1] = std::string(kApagar);
    }
    return true;
}

void Troca::apagaConstantes(std::string_view lista) {
    std::string faltando;
    if (!apagaPares(m_.constantesUsuario, lista, faltando)) return void(falha(46, faltando));
    m_.constantesMudaram();
    regravaPares("constantesUsuario.txt", m_.constantesUsuario);
}

void Troca::salvaExpressao(std::string_view original) {
    std::string_view nome, expressao;
    if (!cortaNoPrimeiro(original, '=', nome, expressao)) return void(falha(72));
    const size_t i = achaPar(expressoes_, nome);
    if (i == expressoes_.size()) {
        expressoes_.emplace_back(nome);
        expressoes_.emplace_back(expressao);
    } else {
        expressoes_[i + 1] = std::string(expressao);
    }
    regravaPares("ExpressoesUsuario.txt", expressoes_);
}

void Troca::apagaExpressoes(std::string_view lista) {
    std::string faltando;
    if (!apagaPares(expressoes_, lista, faltando)) return void(falha(52, faltando));
    regravaPares("ExpressoesUsuario.txt", expressoes_);
}

void Troca::salvaMemoria(std::string_view p) {
    const std::vector<std::string> partes = campos(p);
    fs::path destino;
    if (!arquivo(partes[0], ".csv", destino)) return;
    const std::string prefixo = partes.size() > 1 ? partes[1] + "[" : std::string();
    auto escolhido = [&](const std::string& nome) {
        return prefixo.empty() ? !interna(nome) : nome.rfind(prefixo, 0) == 0;
    };
    std::vector<std::string> linhas;
    for (size_t i = 0; i < m_.nomesNumericos().size(); ++i)
        if (escolhido(m_.nomesNumericos()[i]))
            linhas.push_back(m_.nomesNumericos()[i] + ";" +
                             textoGeral(m_.valoresNumericos()[i], m_.separador));
    for (size_t i = 0; i < m_.nomesTexto().size(); ++i)
        if (escolhido(m_.nomesTexto()[i]))
            linhas.push_back(m_.nomesTexto()[i] + ";" + m_.valoresTexto()[i]);
    arquivos_.muda(destino) = std::move(linhas);
}

void Troca::leMemoria(std::string_view p) {
    const std::vector<std::string>* linhas = leitura(p, ".csv");
    if (!linhas) return;
    for (const std::string& linha : *linhas) {
        std::string_view nome, valor;
        if (!cortaNoPrimeiro(linha, ';', nome, valor) || nome.empty()) continue;
        if (nomeDeTexto(nome)) {
            m_.defineTexto(nome, valor);
            continue;
        }
        double v = 0;
        if (!leNumero(valor, m_.separador, v)) return void(falha(89, linha));
        m_.defineNumero(nome, v);
    }
}

// A parameter that is a whole number or a variable holding one.
bool Troca::inteiro(std::string_view t, int erro, long long& valor) {
    double v = 0;
    if (!numeroOuVariavel(m_, s_, t, v) || !std::isfinite(v) || std::fabs(v) > 1e9)
        return falha(erro, t);
    valor = static_cast<long long>(std::trunc(v));
    return true;
}

void Troca::avaliaTabela(std::string_view p, std::string_view original) {
    const std::vector<std::string> partes = separaCampos(p, ':');
    const std::vector<std::string> escritas = separaCampos(original, ':');
    if (partes.size() < 6) return void(falha(96, p));
    const std::string& x = partes[1];
    double a = 0, b = 0, passo = 0;
    if (!numeroOuVariavel(m_, s_, partes[2], a)) return void(falha(96, partes[2]));
    if (!numeroOuVariavel(m_, s_, partes[3], b)) return void(falha(96, partes[3]));
    if (!numeroOuVariavel(m_, s_, partes[4], passo)) return void(falha(96, partes[4]));
    if (a >= b) return void(falha(68, partes[2] + " >= " + partes[3]));
    if (passo <= 0) return void(falha(69, partes[4]));
    fs::path destino;
    if (!arquivo("FUNCT-" + partes[5], ".csv", destino)) return;
    std::vector<std::string> linhas{"Fun\xE7\xE3o: " + escritas[0] + ";" +
                                    "Vari\xE1vel: " + x};
    std::string texto = textoGeral(a, m_.separador);
    double atual = a;
    while (atual <= b) {
        avaliaTexto(m_, s_, atribuicaoDeValor(x, texto));
        if (s_.estadoNumera == 2) return;
        const std::string valor = avaliaTexto(m_, s_, "evaluate=" + partes[0]);
        if (s_.estadoNumera == 2) return;
        linhas.push_back(texto + ";" + valor);
        if (static_cast<long long>(linhas.size()) > kMaxLinhas) return void(falha(5, partes[4]));
        texto = textoGeral(atual + passo, m_.separador);
        double proximo = 0;
        // A step too small to move x would never end the table.
        if (!leNumero(texto, m_.separador, proximo) || proximo <= atual)
            return void(falha(69, partes[4]));
        atual = proximo;
    }
    arquivos_.muda(destino) = std::move(linhas);
}

// The target of an import: kind, base name and first index (i, j for a matrix).
struct Destino {
    std::string base;
    bool texto = false, vetor = false, matriz = false;
    long long i = 0, j = 0;
};

// Stores the values read, one per row, into a scalar, a vector from element i on, or a
// matrix row from element (i, j) on.
bool Troca::guardaLidos(const std::vector<std::string>& lidos, std::string_view nome) {
    Destino d;
    d.texto = nomeDeTexto(nome);
    d.vetor = nome.rfind("V_", 0) == 0;
    d.matriz = nome.rfind("M_", 0) == 0;
    const size_t abre = nome.find('[');
    d.base = std::string(nome.substr(0, abre));
    if (d.vetor || d.matriz) {
        if (abre == std::string_view::npos || nome.back() != ']') return falha(95, nome);
        std::string_view indice = nome.substr(abre + 1, nome.size() - abre - 2);
        std::string_view primeiro = indice, segundo;
        if (d.matriz && !cortaNoPrimeiro(indice, 'a', primeiro, segundo)) return falha(113, nome);
        if (!inteiro(primeiro, 90, d.i)) return false;
        if (d.matriz && !inteiro(segundo, 90, d.j)) return false;
    } else if (lidos.size() != 1) {
        return falha(95, nome);
    }
    for (size_t k = 0; k < lidos.size(); ++k) {
        std::string chave = d.base;
        const long long n = static_cast<long long>(k);
        if (d.vetor) chave += "[" + std::to_string(d.i + n) + "]";
        if (d.matriz) chave += "[" + std::to_string(d.i) + "," + std::to_string(d.j + n) + "]";
        if (d.texto) {
            m_.defineTexto(chave, lidos[k]);
        } else {
            double v = 0;
            if (!leNumero(lidos[k], m_.separador, v))
                return falha(d.vetor ? 93 : d.matriz ? 94 : 89, lidos[k]);
            m_.defineNumero(chave, v);
        }
        if (d.vetor || d.matriz) m_.garanteNumero(d.base);
    }
    return true;
}

// A number read from a file with either decimal character takes the run's separator.
std::string comSeparador(std::string t, char separador) {
    const char outro = separador == '.' ? ',' : '.';
    for (char& c : t)
        if (c == outro) c = separador;
    return t;
}

void Troca::importaTabela(std::string_view p) {
    const std::vector<std::string> partes = campos(p);
    if (partes.size() != 5) return void(falha(111));
    long long c = 0, r1 = 0, r2 = 0;
    if (!inteiro(partes[1], 107, c) || !inteiro(partes[2], 108, r1) ||
        !inteiro(partes[3], 109, r2))
        return;
    if (c < 1) return void(falha(103));
    if (r1 < 1) return void(falha(104));
    if (r2 < 1) return void(falha(105));
    if (r1 > r2) return void(falha(106));
    if (r2 - r1 >= kMaxLinhas) return void(falha(5, partes[3]));
    const std::vector<std::string>* lidas = leitura(partes[0], ".csv");
    if (!lidas) return;
    const std::vector<std::string>& linhas = *lidas;
    std::vector<std::string> lidos;
    for (long long r = r1; r <= r2; ++r) {
        std::string linha = r <= static_cast<long long>(linhas.size())
                                ? linhas[static_cast<size_t>(r - 1)] : std::string();
        if (linha.empty()) linha = "0;";
        const std::vector<std::string> celulas = separaCampos(linha, ';');
        // A missing or empty cell reads as 0, as an empty row does.
        std::string celula =
            c <= static_cast<long long>(celulas.size()) ? celulas[static_cast<size_t>(c - 1)] : "";
        if (celula.empty()) celula = "0";
        lidos.push_back(comSeparador(celula, m_.separador));
    }
    guardaLidos(lidos, partes[4]);
}

// The text of a variable's value: numbers in the general form.
bool Troca::valorTexto(std::string_view nome, std::string& texto) {
    bool numerico = false;
    double numero = 0;
    if (!valorSaida(m_, s_, nome, numerico, numero, texto)) return false;
    if (numerico) texto = textoGeral(numero, m_.separador);
    return true;
}

void Troca::exportaTabela(std::string_view p) {
    const std::vector<std::string> partes = campos(p);
    if (partes.size() != 4) return void(falha(111));
    long long c = 0, r = 0;
    if (!inteiro(partes[1], 86, c) || !inteiro(partes[2], 87, r)) return;
    if (c < 1) return void(falha(81));
    if (r < 1) return void(falha(82));
    std::string valor;
    if (!valorTexto(partes[3], valor)) return void(falha(88, partes[3]));
    fs::path destino;
    if (!arquivo(partes[0], ".csv", destino)) return;
    if (!cabe(destino, r, c, partes)) return;
    std::vector<std::string>& linhas = arquivos_.muda(destino);
    if (linhas.size() < static_cast<size_t>(r)) linhas.resize(static_cast<size_t>(r));
    std::vector<std::string> celulas = separaCampos(linhas[static_cast<size_t>(r - 1)], ';');
    if (celulas.size() < static_cast<size_t>(c)) celulas.resize(static_cast<size_t>(c));
    celulas[static_cast<size_t>(c - 1)] = valor;
    std::string linha;
    for (size_t k = 0; k < celulas.size(); ++k) linha += (k ? ";" : "") + celulas[k];
    linhas[static_cast<size_t>(r - 1)] = linha;
}

void Troca::importaTexto(std::string_view p) {
    const std::vector<std::string> partes = campos(p);
    if (partes.size() != 6) return void(falha(111));
    long long c1 = 0, c2 = 0, r1 = 0, r2 = 0;
    if (!inteiro(partes[1], 114, c1) || !inteiro(partes[2], 115, c2) ||
        !inteiro(partes[3], 108, r1) || !inteiro(partes[4], 109, r2))
        return;
    if (c1 < 1) return void(falha(97));
    if (c2 < 1) return void(falha(98));
    if (r1 < 1) return void(falha(99));
    if (r2 < 1) return void(falha(100));
    if (c1 > c2) return void(falha(101));
    if (r1 > r2) return void(falha(102));
    if (r2 - r1 >= kMaxLinhas) return void(falha(5, partes[4]));
    const std::vector<std::string>* lidas = leitura(partes[0], ".txt");
    if (!lidas) return;
    const std::vector<std::string>& linhas = *lidas;
    std::vector<std::string> lidos;
    for (long long r = r1; r <= r2; ++r) {
        const std::string linha = r <= static_cast<long long>(linhas.size())
                                      ? linhas[static_cast<size_t>(r - 1)] : std::string();
        if (static_cast<long long>(linha.size()) < c1) {
            lidos.emplace_back("0");
            continue;
        }
        lidos.push_back(comSeparador(
            linha.substr(static_cast<size_t>(c1 - 1), static_cast<size_t>(c2 - c1 + 1)),
            m_.separador));
    }
    guardaLidos(lidos, partes[5]);
}

void Troca::exportaTexto(std::string_view p) {
    const std::vector<std::string> partes = campos(p);
    if (partes.size() != 4 && partes.size() != 5) return void(falha(111));
    const bool sobrescreve = partes.size() == 5;
    if (sobrescreve && partes[4] != "TRUE") return void(falha(117, partes[4]));
    long long c = 0, r = 0;
    if (!inteiro(partes[1], 107, c) || !inteiro(partes[2], 114, r)) return;
    if (c < 1) return void(falha(81));
    if (r < 1) return void(falha(82));
    std::string t;
    if (!valorTexto(partes[3], t)) return void(falha(88, partes[3]));
    fs::path destino;
    if (!arquivo(partes[0], ".txt", destino)) return;
    if (!cabe(destino, r, c, partes)) return;
    std::vector<std::string>& linhas = arquivos_.muda(destino);
    if (linhas.size() < static_cast<size_t>(r)) linhas.resize(static_cast<size_t>(r));
    std::string& linha = linhas[static_cast<size_t>(r - 1)];
    const size_t coluna = static_cast<size_t>(c - 1), n = t.size();
    const std::string brancos(n + static_cast<size_t>(c) + 2, ' ');
    if (linha.size() > static_cast<size_t>(c)) {
        if (sobrescreve) linha.erase(coluna, n);
    } else if (!linha.empty()) {
        linha += brancos;
    } else {
        linha = brancos;
        if (sobrescreve) linha.erase(coluna, n);
    }
    linha.insert(coluna, t);
}

}  // namespace

std::vector<std::string>* ArquivosRun::existente(const fs::path& arquivo) {
    if (auto it = abertos_.find(arquivo); it != abertos_.end()) return &it->second.linhas;
    std::optional<std::vector<std::string>> lidas = leLinhasTroca(arquivo);
    if (!lidas) return nullptr;
    std::vector<std::string>& linhas = abertos_[arquivo].linhas;
    linhas = std::move(*lidas);
    return &linhas;
}

std::vector<std::string>& ArquivosRun::muda(const fs::path& arquivo) {
    existente(arquivo);
    Aberto& a = abertos_[arquivo];
    a.mudado = true;
    return a.linhas;
}

std::string ArquivosRun::gravaTodos() {
    std::string falhou;
    for (auto& [arquivo, a] : abertos_)
        if (a.mudado && !gravaLinhasTroca(arquivo, a.linhas) && falhou.empty())
            falhou = arquivo.filename().string();
    abertos_.clear();
    resolvidos.clear();
    return falhou;
}

bool executaTroca(const ContextoTroca& c, std::string_view comando, std::string_view p,
                  std::string_view original) {
    Troca troca(c);
    if (comando == "\\SAVECONSTANT{}") troca.salvaConstantes(p);
    else if (comando == "\\DELETECONSTANT{}") troca.apagaConstantes(p);
    else if (comando == "\\SAVEEXPRESSION{}") troca.salvaExpressao(original);
    else if (comando == "\\DELETEEXPRESSION{}") troca.apagaExpressoes(p);
    else if (comando == "\\SAVEMEMORY{}") troca.salvaMemoria(p);
    else if (comando == "\\READMEMORY{}") troca.leMemoria(p);
    else if (comando == "\\EVALUATE{}") troca.avaliaTabela(p, original);
    else if (comando == "\\IMPORTTABELARO{}") troca.importaTabela(p);
    else if (comando == "\\EXPORTTABELARO{}") troca.exportaTabela(p);
    else if (comando == "\\IMPORTTEXT{}") troca.importaTexto(p);
    else if (comando == "\\EXPORTTEXT{}") troca.exportaTexto(p);
    else return false;
    return true;
}
