#include "mathmode/EDNUMERAMENU.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <optional>

#include "editor/edCursor.h"
#include "editor/edLinha.h"
#include "editor/edListaArq.h"
#include "editor/edtela.h"
#include "mathmode/EDNUMERA.h"
#include "mathmode/EDNUMERALEITURA.h"
#include "mathmode/EDNUMERAVARS.h"
#include "platform/caminhos.h"
#include "platform/texto.h"

namespace {

constexpr uint8_t kEnter = 13, kEsc = 27, kBackspace = 8;
constexpr uint8_t kF1 = 59, kF2 = 60, kF3 = 61, kF4 = 62, kF5 = 63, kF6 = 64, kF9 = 67;
constexpr uint8_t kCima = 72, kEsquerda = 75, kDireita = 77, kBaixo = 80;

constexpr int kColunaComandos = 0, kColunaVariaveis = 1, kColunaConstantes = 7,
              kColunaConstantesU = 8, kColunaConversoes = 9, kColunaExpressoesU = 10;
constexpr int kMaxConstantes = 68;
constexpr size_t kMaxResposta = 71;

const std::array<std::string_view, 12> kTitulos = {
    "   ======== COMANDOS ========",     "   ======= VARIAVEIS =======",
    "   ====== FUNCOES GERAIS ======",   "   ====== FUNCOES TB ======",
    "   ====== FUNCOES TBI ======",      "   ====== FUNCOES TH ======",
    "   ====== FUNCOES THI ======",      "   ======= CONSTANTES =======",
    "   ====== CONSTANTES U ======",     "   ====== CONVERSOES ======",
    "   ====== EXPRESSOES U ======",     "   ====== EXEMPLOS ======",
};
const std::array<std::string_view, 11> kPromptsTitulo = {"F62", "V5", "F63", "F64", "F65", "F66",
                                                         "F67", "F68", "F69", "F122", "F123"};

// The command words in the menu's order (the keyword table's order differs).
const std::array<std::string_view, 30> kComandosMenu = {
    "BEGIN", "END", "CONTINUE", "VARRESULT", "STEPRESULT", "PRINT", "PRINTER", "N",
    "COMMENT", "IF", "ELSE", "FOR", "WHILE", "EXPRESSION", "GOTO", "LABEL",
    "DECIMAL", "IMPORTTABELARO", "EXPORTTABELARO", "IMPORTTEXT", "EXPORTTEXT", "SAVEMEMORY",
    "READMEMORY", "SAVECONSTANT", "DELETECONSTANT", "SAVEEXPRESSION", "DELETEEXPRESSION",
    "EVALUATE", "READFUNCTION", "IN",
};
const std::array<std::string_view, 5> kTiposVariavel = {"STR", "V_S", "V_N", "M_S", "M_N"};

const std::array<std::vector<std::string_view>, 5> kFuncoesMenu = {{
    {"LN", "EXP", "NEG", "SQR", "SQRT", "ABS", "ROUND", "TRUNC", "FRAC", "INT", "ROOT", "POW",
     "INC", "DEC", "LOG", "LOGB"},
    {"RCOS", "RSIN", "RTAN", "RCOT", "RSEC", "RCSC", "DCOS", "DSIN", "DTAN", "DCOT", "DSEC", "DCSC"},
    {"RATAN", "RACOS", "RASIN", "RACOT", "RASEC", "RACSC", "DATAN", "DACOS", "DASIN", "DACOT",
     "DASEC", "DACSC"},
    {"RCOSH", "RTANH", "RCOTH", "RSECH", "RCSCH", "RSINH", "DCOSH", "DTANH", "DCOTH", "DSECH",
     "DCSCH", "DSINH"},
    {"RACOSH", "RASINH", "RATANH", "RASECH", "RACSCH", "DACOSH", "DASINH", "DATANH", "DASECH",
     "DACSCH", "RACOTH", "DACOTH"},
}};
constexpr int kPrimeiraConversao = 63;  // index of M_IN in the function table
constexpr int kConversoes = 50;

// The unit a conversion starts from, by the part of its name before "_".
struct Unidade {
    std::string_view sigla, texto, prompt;
};
constexpr std::array<Unidade, 31> kUnidades = {{
    {"M", "metros", "P77"}, {"IN", "polegadas", "P78"}, {"FT", "p\xE9s", "P47"},
    {"YD", "jardas", "P47"}, {"KG", "quilos", "P49"}, {"OZ", "on\xE7" "as", "P50"},
    {"LB", "libras", "P51"}, {"TN", "toneladas", "P52"}, {"L", "litros", "P53"},
    {"GAL", "gal\xF5" "es", "P54"}, {"ATM", "atmosferas", "P55"}, {"BAR", "bares", "P56"},
    {"KPA", "quilopascais", "P57"}, {"PSI", "libras por polegada quadrada", "P58"},
    {"TORR", "torricelli", "P59"}, {"W", "watts", "P60"}, {"HP", "cavalos de for\xE7" "a", "P61"},
    {"CALS", "calorias por segundo", "P62"}, {"MS", "metros por segundo", "P63"},
    {"FTS", "p\xE9s por segundo", "P64"}, {"KN", "nodos", "P65"}, {"MPH", "milhas por hora", "P66"},
    {"KPH", "quil\xF4metros por hora", "P67"}, {"N", "Newtons", "P68"}, {"DYN", "Dinas", "P69"},
    {"JM", "Joules por metro", "P70"}, {"KIN", "Quilopolegadas", "P71"},
    {"DC", "graus Celsius", "P72"}, {"DK", "graus Kelvin", "P73"},
    {"DF", "graus Fahrenheit", "P74"}, {"D", "Graus", "P75"},
}};
const Unidade kRadianos = {"RAD", "Radianos", "P76"};

const Unidade& unidadeDe(std::string_view conversao) {
    const std::string_view sigla = conversao.substr(0, conversao.find('_'));
    for (const Unidade& u : kUnidades)
        if (u.sigla == sigla) return u;
    return kRadianos;
}

std::string menu(std::string_view nome) { return "\\COMANDOS\\MENU\\" + std::string(nome); }
std::string parametro(std::string_view nome) {
    return "\\COMANDOS\\PARAMETROS\\" + std::string(nome);
}

// The key of a function or conversion in the prompt families MENU, AYUDA: its index for
// the first 62 functions, 70 for LOGB, 71 to 120 for the conversions, 121 for LOG.
int chaveFuncao(int indice) {
    if (indice == 62) return 70;
    if (indice == 113) return 121;
    if (indice >= kPrimeiraConversao) return indice + 8;
    return indice;
}

bool colunaDeFuncoes(int coluna) { return (coluna >= 2 && coluna <= 6) || coluna == kColunaConversoes; }

// The function-table index of entry `item` of a function or conversion column.
int indiceFuncaoMenu(int coluna, int item) {
    if (coluna == kColunaConversoes) return kPrimeiraConversao + item - 2;
    return indiceFuncao(kFuncoesMenu[static_cast<size_t>(coluna - 2)][static_cast<size_t>(item - 2)]);
}

// Help keys of the command entries 2..31.
std::string chaveAjudaComando(int item) {
    const int k = item - 1;  // 1..30
    if (k <= 13) return "A" + std::to_string(k);
    if (k == 14) return "A35";
    if (k <= 24) return "A" + std::to_string(k - 1);
    return "A" + std::to_string(k + 4);
}

// ------------------------------------------------------------------ lists

struct Par {
    std::string nome, valor;
};

// Name and value pairs of a user file; the deletion marker and empty names are skipped.
std::vector<Par> paresUsuario(const Editor& e, std::string_view arquivo) {
    const std::vector<std::string> l = leLinhasNumera(arquivoNumeraLeitura(e, arquivo));
    std::vector<Par> pares;
    for (size_t i = 0; i + 1 < l.size(); i += 2)
        if (!l[i].empty() && l[i] != "1APAGAR") pares.push_back({l[i], l[i + 1]});
    return pares;
}

struct Constante {
    std::string nome, simbolo;
};

std::vector<Constante> constantesSistema(const Editor& e) {
    const std::vector<std::string> l = leLinhasNumera(arquivoNumeraLeitura(e, "constantes.txt"));
    std::vector<Constante> c;
    for (size_t i = 0; i + 1 < l.size() && c.size() < kMaxConstantes; i += 3)
        if (!l[i].empty()) c.push_back({l[i], l[i + 1]});
    return c;
}

std::vector<std::string> comCabecalho(std::string_view titulo) { return {std::string(titulo), ""}; }

// ------------------------------------------------------------------ screen

constexpr int kColunaCaixa = 28, kLinhaTitulo = 13;
constexpr int kLinhaPergunta = 22, kLinhaResposta = 23;

void escreveEm(SnCrt& crt, int x, int y, std::string_view texto, int letra, int fundo) {
    crt.TextColor(letra);
    crt.TextBackground(fundo);
    crt.GotoXY(x, y);
    crt.escreve(texto);
}

std::string cabeNaCaixa(std::string_view s) { return std::string(s.substr(0, 49)); }

void desenhaMenu(Editor& e, const std::vector<std::string>& lista, int item) {
    SnCrt& crt = e.crt;
    escreveEm(crt, kColunaCaixa, kLinhaTitulo, " N U M E R A - v " + e.numera.versaoNumera + " ", 15, 4);
    for (int y = 14; y <= 20; ++y) escreveEm(crt, kColunaCaixa, y, std::string(37, ' '), 15, 1);
    for (int i = item; i <= item + 4 && i < static_cast<int>(lista.size()); ++i)
        escreveEm(crt, 30, 15 + i - item, cabeNaCaixa(lista[static_cast<size_t>(i)]), 15, 1);
    escreveEm(crt, 30, 15, cabeNaCaixa(lista[static_cast<size_t>(item)]), 15, 4);
    crt.TextColor(15);
    crt.TextBackground(0);
}

void limpaCampo(SnCrt& crt) {
    for (int y = kLinhaPergunta; y <= kLinhaResposta; ++y)
        escreveEm(crt, 1, y, std::string(SnCrt::kColunas, ' '), 15, 0);
}

void mostraPergunta(Editor& e, std::string_view pergunta, std::string_view prompt) {
    limpaCampo(e.crt);
    escreveEm(e.crt, 2, kLinhaPergunta, pergunta, 15, 4);
    e.crt.TextBackground(0);
    if (!prompt.empty()) e.fala.tocaSom(prompt);
}

void desenhaResposta(SnCrt& crt, const std::string& texto, int cursor) {
    escreveEm(crt, 2, kLinhaResposta, std::string(65, ' '), 15, 4);
    escreveEm(crt, 2, kLinhaResposta, texto, 15, 4);
    crt.TextBackground(0);
    crt.GotoXY(2 + cursor, kLinhaResposta);
}

// "Comando Inserido!!!" and the like, on the question row.
void avisaInserido(Editor& e, std::string_view aviso, std::string_view prompt) {
    limpaCampo(e.crt);
    escreveEm(e.crt, 2, kLinhaPergunta, aviso, 15, 4);
    e.crt.TextBackground(0);
    e.fala.tocaSom(parametro(prompt));
}

// ------------------------------------------------------------------ inserting

void insereComando(Editor& e, const std::string& linha) {
    insereLinhaAbaixo(e, linha, false);
    e.ed.colunaAtual = 1;
    avisaInserido(e, "Comando Inserido!!!", "P4");
}

// Typed at the cursor, one character at a time, as the user would.
void digita(Editor& e, std::string_view texto) {
    for (char c : texto) insereCaractere(e, static_cast<uint8_t>(c));
}

// The index of the letter answered (either case); Enter takes the first, Esc the last.
int escolhaEntre(Editor& e, std::string_view pergunta, std::string_view prompt, std::string_view letras) {
    mostraPergunta(e, pergunta, prompt);
    for (;;) {
        const uint8_t c = e.crt.leTecla();
        if (c == 0) {
            if (e.crt.leTecla() == kF1) e.fala.tocaSom(prompt);
            continue;
        }
        if (c == kEnter) return 0;
        if (c == kEsc) return static_cast<int>(letras.size()) - 1;
        const size_t i = letras.find(static_cast<char>(std::toupper(c)));
        if (i != std::string_view::npos) return static_cast<int>(i);
    }
}

std::string pergunta(Editor& e, std::string_view texto, std::string_view prompt) {
    return perguntaTexto(e, texto, prompt.empty() ? std::string() : parametro(prompt));
}
bool escolhe(Editor& e, std::string_view texto, std::string_view prompt, char a, char b) {
    return perguntaEscolha(e, texto, parametro(prompt), a, b) == 1;
}

// Names asked for again and again while the user says yes, joined by ",".
std::string listaDeNomes(Editor& e, std::string_view nome, std::string_view promptNome,
                         std::string_view mais, std::string_view promptMais) {
    std::string lista;
    do {
        if (!lista.empty()) lista += ',';
        lista += pergunta(e, nome, promptNome);
    } while (escolhe(e, mais, promptMais, 'S', 'N'));
    return lista;
}

std::string comparacao(Editor& e) {
    std::string a = pergunta(e, "Introduza a primeira express\xE3o de compara\xE7\xE3o:", "P1");
    std::string op = pergunta(e, "Indique o operador de compara\xE7\xE3o:", "P3");
    std::string b = pergunta(e, "Introduza a segunda express\xE3o de compara\xE7\xE3o:", "P2");
    return a + op + b;
}

std::string itensImpressao(Editor& e) {
    std::string itens;
    do {
        if (escolhe(e, "Deseja imprimir um texto, ou uma vari\xE1vel?. (T/V).", "P18", 'T', 'V'))
            itens += "\"" + pergunta(e, "Introduza o texto que deseja imprimir:", "P19") + "\"+";
        else
            itens += pergunta(e, "Introduza o nome da vari\xE1vel que deseja imprimir:", "P14") + "+";
    } while (escolhe(e, "Deseja imprimir mais vari\xE1veis?. (S/N).", "P15", 'S', 'N'));
    itens.pop_back();
    return itens;
}

// A file of the current folder chosen from a list under the question; nullopt when there
// is none or the user gives up ("Nenhum arquivo foi carregado!!!").
std::optional<std::string> escolheArquivoNumera(Editor& e, std::string_view texto,
                                                std::string_view prompt, std::string_view padrao) {
    mostraPergunta(e, texto, parametro(prompt));
    const std::vector<std::string> nomes = arquivosDoPadrao(padrao);
    if (!nomes.empty()) {
        const EscolhaArquivo escolha = escolheArquivo(e, nomes, 10, 11);
        if (escolha.fim == FimLista::Escolheu) return escolha.nome;
    }
    avisaInserido(e, "Nenhum arquivo foi carregado!!!", "P34");
    return std::nullopt;
}

bool terminaCom(std::string_view s, std::string_view fim) {
    if (s.size() < fim.size()) return false;
    for (size_t i = 0; i < fim.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(s[s.size() - fim.size() + i])) != fim[i])
            return false;
    return true;
}

std::string semExtensao(const std::string& nome) { return nome.substr(0, nome.size() >= 4 ? nome.size() - 4 : 0); }

// A file to import, of the type the command reads.
std::optional<std::string> arquivoImportado(Editor& e, bool csv) {
    auto nome = escolheArquivoNumera(e, "Selecione o arquivo a importar:", "P24", "*");
    if (!nome) return std::nullopt;
    if (!terminaCom(*nome, csv ? ".CSV" : ".TXT")) {
        if (csv)
            avisaInserido(e, "Arquivo selecionado n\xE3o v\xE1lido. O arquivo tem que ser de tipo .CSV!!!", "P94");
        else
            avisaInserido(e, "Arquivo selecionado n\xE3o v\xE1lido. O arquivo tem que ser de tipo .TXT!!!", "P95");
        return std::nullopt;
    }
    avisaInserido(e, "Arquivo selecionado!!!", "P29");
    return semExtensao(*nome);
}

// Where imported data goes: the type prefix, a blank, the name and the index part.
std::string destinoImportacao(Editor& e, bool textoSimples) {
    const bool numeros = escolhe(e, "Os dados s\xE3o n\xFAmeros ou textos?. (N/T).", "P89", 'N', 'T');
    char alvo = 'V';
    if (textoSimples) {
        constexpr std::string_view kAlvos = "SVM";
        alvo = kAlvos[static_cast<size_t>(escolhaEntre(
            e, "Deseja importar para uma vari\xE1vel simples, um vector ou uma matriz?. (S/V/M).",
            parametro("P93"), kAlvos))];
    } else if (!escolhe(e, "Deseja importar para um vector ou uma matriz?. (V/M).", "P90", 'V', 'M')) {
        alvo = 'M';
    }
    const std::string nome = pergunta(e, "Introduza o nome da vari\xE1vel:", "P79");
    if (alvo == 'S') return (numeros ? "" : "STR ") + nome;
    if (alvo == 'V')
        return std::string(numeros ? "V_N " : "V_S ") + nome + " [" +
               pergunta(e, "Introduza o \xEDndice do vector:", "P80") + "]";
    const std::string x = pergunta(e, "Introduza o \xEDndice X da matriz:", "P81");
    const std::string y = pergunta(e, "Introduza o \xEDndice Y da matriz:", "P82");
    return std::string(numeros ? "M_N " : "M_S ") + nome + " [" + x + "," + y + "]";
}

// Columns, rows and positions are picked by moving over the chosen file, not typed.
class PegaNoArquivo {
  public:
    enum class Tipo { Coluna, Fila, Posicao };

    PegaNoArquivo(Editor& e, const std::string& arquivo, bool csv)
        : e_(e), csv_(csv), linhas_(leLinhasNumera(achaArquivo(arquivo + (csv ? ".csv" : ".txt")))) {
        if (linhas_.empty()) linhas_.emplace_back();
    }

    // The pick as text (empty on Esc); a pick smaller than `minimo` is refused.
    std::string pega(Tipo tipo, std::string_view pergunta, std::string_view prompt, int minimo = 0) {
        mostraPergunta(e_, pergunta, parametro(prompt));
        linha_ = caractere_ = 1;
        for (;;) {
            desenha();
            const uint8_t c = e_.crt.leTecla();
            if (c == kEsc) return {};
            if (c == kEnter) {
                const int valor = tipo == Tipo::Fila ? linha_ : coluna();
                if (tipo != Tipo::Posicao && valor < minimo) {
                    e_.fala.tocaSom(parametro("P91"));
                    continue;
                }
                if (tipo == Tipo::Posicao) return std::to_string(coluna()) + "," + std::to_string(linha_);
                return std::to_string(valor);
            }
            if (c == 0) move(e_.crt.leTecla());
        }
    }

  private:
    const std::string& atual() const { return linhas_[static_cast<size_t>(linha_ - 1)]; }
    int fim() const { return std::max<int>(1, static_cast<int>(atual().size())); }
    // A field number in a CSV file: 1 plus the ";" before the current character.
    int coluna() const {
        if (!csv_) return caractere_;
        const auto antes = atual().substr(0, static_cast<size_t>(caractere_ - 1));
        return 1 + static_cast<int>(std::count(antes.begin(), antes.end(), ';'));
    }
    void falaCaractere() {
        if (caractere_ <= static_cast<int>(atual().size()))
            e_.fala.falaLetra(static_cast<uint8_t>(atual()[static_cast<size_t>(caractere_ - 1)]));
    }
    void palavra(int n) { e_.fala.tocaSom(std::string(kPalavras) + "P" + std::to_string(n)); }
    void anda(int passos) {
        const int alvo = caractere_ + passos;
        if (alvo < 1 || alvo > fim()) palavra(alvo < 1 ? 16 : 17);
        caractere_ = std::clamp(alvo, 1, fim());
        falaCaractere();
    }
    void move(uint8_t scan) {
        switch (scan) {
            case kBaixo:
            case kCima: {
                const int alvo = linha_ + (scan == kBaixo ? 1 : -1);
                if (alvo < 1 || alvo > static_cast<int>(linhas_.size())) return palavra(scan == kBaixo ? 14 : 15);
                linha_ = alvo;
                caractere_ = 1;
                desenha();
                return e_.fala.falaTexto(atual());
            }
            case kEsquerda:
                if (caractere_ <= 1) return palavra(16);
                --caractere_;
                return falaCaractere();
            case kDireita:
                if (caractere_ >= fim()) return palavra(17);
                ++caractere_;
                return falaCaractere();
            case kF3: return anda(-10);
            case kF4: return anda(-5);
            case kF5: return anda(5);
            case kF6: return anda(10);
            case kF2:
                e_.fala.tocaSom(parametro("P98"));
                e_.fala.falaTexto(std::to_string(caractere_));
                e_.fala.tocaSom(parametro("P99"));
                return e_.fala.falaTexto(std::to_string(linha_));
            default: return;
        }
    }
    void desenha() {
        const int desloca = std::max(0, caractere_ - 54);
        escreveEm(e_.crt, 1, kLinhaArquivo, std::string(54, ' '), 15, 1);
        escreveEm(e_.crt, 1, kLinhaArquivo, atual().substr(static_cast<size_t>(std::min<int>(desloca, static_cast<int>(atual().size())))).substr(0, 79), 15, 1);
        e_.crt.TextBackground(0);
        e_.crt.GotoXY(caractere_ - desloca, kLinhaArquivo);
    }

    static constexpr int kLinhaArquivo = 18;
    static constexpr std::string_view kPalavras = "\\COMANDOS\\PALABRAS\\";
    Editor& e_;
    bool csv_;
    std::vector<std::string> linhas_;
    int linha_ = 1, caractere_ = 1;
};

// A second pick of a kind may not be smaller than the first.
std::string segundaEscolha(PegaNoArquivo& p, PegaNoArquivo::Tipo tipo, const std::string& primeira,
                           std::string_view pergunta, std::string_view prompt) {
    return p.pega(tipo, pergunta, prompt, primeira.empty() ? 0 : std::atoi(primeira.c_str()));
}

void importa(Editor& e, bool tabelaro) {
    auto arquivo = arquivoImportado(e, tabelaro);
    if (!arquivo) return;
    using Tipo = PegaNoArquivo::Tipo;
    PegaNoArquivo pega(e, *arquivo, tabelaro);
    std::string colunas;
    if (tabelaro) {
        colunas = pega.pega(Tipo::Coluna, "Indique o n\xFAmero da coluna de dados a importar:", "P25");
    } else {
        const std::string c1 = pega.pega(Tipo::Coluna, "Indique o n\xFAmero da coluna inicial:", "P36");
        colunas = c1 + "," + segundaEscolha(pega, Tipo::Coluna, c1, "Indique o n\xFAmero da coluna final:", "P37");
    }
    const std::string r1 = pega.pega(Tipo::Fila, "Indique o n\xFAmero da fila superior de dados a importar:", "P26");
    const std::string r2 = segundaEscolha(pega, Tipo::Fila, r1, "Indique o n\xFAmero da fila inferior de dados a importar:", "P27");
    const std::string destino = destinoImportacao(e, !tabelaro);
    insereComando(e, std::string(tabelaro ? "\\IMPORTTABELARO{" : "\\IMPORTTEXT{") + *arquivo + "," +
                         colunas + "," + r1 + "," + r2 + "," + destino + " };");
}

void exporta(Editor& e, bool tabelaro) {
    std::string arquivo, posicao;
    if (!escolhe(e, "Deseja selecionar, ou criar um arquivo novo?. (S/C).", "P30", 'S', 'C')) {
        arquivo = pergunta(e, "Introduza o nome do Arquivo novo de destino:", "P31");
        const std::string c = pergunta(e, "Indique o n\xFAmero da coluna de destino:", "P97");
        posicao = c + "," + pergunta(e, "Indique o n\xFAmero da fila de destino:", "P96");
    } else {
        auto nome = escolheArquivoNumera(e, "Selecione o arquivo de destino:", "P32",
                                         tabelaro ? "*.csv" : "*.txt");
        if (!nome) return;
        arquivo = semExtensao(*nome);
        PegaNoArquivo pega(e, arquivo, tabelaro);
        posicao = pega.pega(PegaNoArquivo::Tipo::Posicao, "Selecione a posi\xE7\xE3o na qual vai inserir o dado:", "P33");
        if (posicao.empty()) posicao = ",";
    }
    const std::string v = pergunta(e, "Introduza o nome da vari\xE1vel que vai exportar:", "P35");
    std::string linha = std::string(tabelaro ? "\\EXPORTTABELARO{" : "\\EXPORTTEXT{") + arquivo +
                        "," + posicao + "," + v;
    if (!tabelaro && !escolhe(e, "Deseja inserir, ou sobrescrever o dado?. (I/S).", "P38", 'I', 'S'))
        linha += ",TRUE";
    insereComando(e, linha + " };");
}

void assistenteDeComando(Editor& e, int item) {
    const std::string_view comando = kComandosMenu[static_cast<size_t>(item - 2)];
    const std::string barra = "\\" + std::string(comando);
    if (comando == "BEGIN" || comando == "END" || comando == "CONTINUE" || comando == "ELSE" || comando == "N")
        return insereComando(e, barra + ";");
    if (comando == "IF" || comando == "WHILE") return insereComando(e, barra + "{" + comparacao(e) + " };");
    if (comando == "FOR") {
        std::string v = pergunta(e, "Introduza a vari\xE1vel do contador:", "P5");
        std::string a = pergunta(e, "Defina o inicio do contador:", "P6");
        std::string b = pergunta(e, "Defina o final do contador:", "P7");
        return insereComando(e, "\\FOR{" + v + "=" + a + ":" + b + " };");
    }
    if (comando == "GOTO")
        return insereComando(e, "\\GOTO{" + pergunta(e, "Introduza o nome da etiqueta de desvio:", "P8") + " };");
    if (comando == "SAVECONSTANT")
        return insereComando(e, "\\SAVECONSTANT{" +
                                    listaDeNomes(e, "Introduza o nome da vari\xE1vel que deseja armazenar:", "P9",
                                                 "Deseja armazenar mais vari\xE1veis?. (S/N).", "P10") + "};");
    if (comando == "DELETECONSTANT")
        return insereComando(e, "\\DELETECONSTANT{" +
                                    listaDeNomes(e, "Introduza o nome da constante que deseja apagar:", "P11",
                                                 "Deseja apagar mais constante?. (S/N).", "P12") + "};");
    if (comando == "STEPRESULT")
        return insereComando(e, "\\STEPRESULT{" + pergunta(e, "O que parte da express\xE3o deseja avaliar?", "P13") + " };");
    if (comando == "VARRESULT")
        return insereComando(e, "\\VARRESULT{" +
                                    listaDeNomes(e, "Introduza o nome da vari\xE1vel que deseja imprimir:", "P14",
                                                 "Deseja imprimir mais vari\xE1veis?. (S/N).", "P15") + "};");
    if (comando == "COMMENT") return insereComando(e, "%{" + pergunta(e, "Escreva o coment\xE1rio", "P16") + "}%");
    if (comando == "DECIMAL")
        return insereComando(e, "\\DECIMAL{" + pergunta(e, "Quantas casas decimais deseja configurar?", "P17") + " };");
    if (comando == "EVALUATE") {
        std::string f = pergunta(e, "Introduza a fun\xE7\xE3o que vai avaliar", "P100");
        std::string x = pergunta(e, "Introduza a vari\xE1vel independente X", "P101");
        std::string a = pergunta(e, "Introduza o valor inicial em X da fun\xE7\xE3o", "P102");
        std::string b = pergunta(e, "Introduza o valor final em X da fun\xE7\xE3o", "P103");
        std::string s = pergunta(e, "Introduza o incremento em X da fun\xE7\xE3o", "P104");
        std::string n = pergunta(e, "Introduza o nome do arquivo CSV no qual v\xE3o ser armazenados os resultados", "P105");
        return insereComando(e, "\\EVALUATE{" + f + ":" + x + ":" + a + ":" + b + ":" + s + ":" + n + " };");
    }
    if (comando == "PRINT" || comando == "PRINTER") return insereComando(e, barra + "{" + itensImpressao(e) + "};");
    // One name and its expression: what the translator takes (a list of names could not
    // be stored, having no expressions).
    if (comando == "SAVEEXPRESSION") {
        std::string y = pergunta(e, "Introduza o nome da express\xE3o que deseja armazenar:", "P20");
        std::string x = pergunta(e, "Introduza a express\xE3o:", "P46");
        return insereComando(e, "\\SAVEEXPRESSION{" + y + "=" + x + "};");
    }
    if (comando == "DELETEEXPRESSION")
        return insereComando(e, "\\DELETEEXPRESSION{" +
                                    listaDeNomes(e, "Introduza o nome da express\xE3o que deseja apagar:", "P21",
                                                 "Deseja apagar mais express\xF5" "es?. (S/N).", "P23") + "};");
    if (comando == "EXPRESSION") {
        std::string y = pergunta(e, "Introduza a vari\xE1vel dependente:", "P45");
        std::string x = pergunta(e, "Introduza a express\xE3o:", "P46");
        insereLinhaAbaixo(e, y + "=" + x + ";", false);
        e.ed.colunaAtual = 1;
        return avisaInserido(e, "Express\xE3o Inserida!!!", "P86");
    }
    if (comando == "LABEL") {
        insereLinhaAbaixo(e, pergunta(e, "Introduza o nome da etiqueta:", "P85") + ":", false);
        e.ed.colunaAtual = 1;
        return avisaInserido(e, "Etiqueta Inserida!!!", "P87");
    }
    if (comando == "IN") return insereComando(e, "IN " + pergunta(e, "Introduza o nome da vari\xE1vel:", "P79") + ";");
    if (comando == "SAVEMEMORY") {
        std::string f = pergunta(e, "Introduza o nome do arquivo CSV, no qual v\xE3o ser armazenadas as vari\xE1veis do programa", "P106");
        if (escolhe(e, "Deseja armazenar uma vari\xE1vel espec\xED" "fica? (S/N).", "P107", 'S', 'N'))
            f += "," + pergunta(e, "Introduza o nome da vari\xE1vel que deseja armazenar.", "P9");
        return insereComando(e, "\\SAVEMEMORY{" + f + " };");
    }
    if (comando == "READMEMORY" || comando == "READFUNCTION") {
        const bool memoria = comando == "READMEMORY";
        auto nome = memoria ? escolheArquivoNumera(e, "Selecione o arquivo de memoria CSV:", "P109", "*.csv")
                            : escolheArquivoNumera(e, "Selecione o arquivo CSV da fun\xE7\xE3o:", "P108", "*.csv");
        if (nome) insereComando(e, barra + "{" + semExtensao(*nome) + " };");
        return;
    }
    if (comando == "IMPORTTABELARO" || comando == "IMPORTTEXT") return importa(e, comando == "IMPORTTABELARO");
    exporta(e, comando == "EXPORTTABELARO");
}

void assistenteDeFuncao(Editor& e, int indice) {
    const std::string_view nome = nomesFuncoes[static_cast<size_t>(indice)];
    std::string texto;
    if (indice >= kPrimeiraConversao && indice < kPrimeiraConversao + kConversoes) {
        const Unidade& u = unidadeDe(nome);
        texto = std::string(nome) + "(" +
                pergunta(e, "Introduza o valor em " + std::string(u.texto) + ":", u.prompt) + ")";
    } else if (nome == "ROOT") {
        std::string r = pergunta(e, "Introduza o radical da fun\xE7\xE3o:", "P40");
        texto = "(" + r + ")ROOT(" + pergunta(e, "Introduza o radicando da fun\xE7\xE3o:", "P41") + ")";
    } else if (nome == "POW") {
        std::string b = pergunta(e, "Introduza o base da fun\xE7\xE3o:", "P42");
        texto = "(" + b + ")POW(" + pergunta(e, "Introduza o expoente da fun\xE7\xE3o:", "P43") + ")";
    } else if (nome == "LOGB") {
        std::string b = pergunta(e, "Introduza o base do logaritmo:", "P44");
        texto = "(" + pergunta(e, "Introduza o par\xE2metro da fun\xE7\xE3o:", "P39") + ")LOGB(" + b + ")";
    } else {
        texto = std::string(nome) + "(" + pergunta(e, "Introduza o par\xE2metro da fun\xE7\xE3o:", "P39") + ")";
    }
    limpaCampo(e.crt);
    digita(e, texto);
    avisaInserido(e, "Fun\xE7\xE3o inserida!!!", "P84");
}

void assistenteDeVariavel(Editor& e, int item) {
    const std::string_view tipo = kTiposVariavel[static_cast<size_t>(item - 2)];
    std::string texto = std::string(tipo) + " " + pergunta(e, "Introduza o nome da vari\xE1vel:", "P79");
    if (tipo[0] == 'V') {
        texto += " [" + pergunta(e, "Introduza o \xEDndice do vector:", "P80") + "]";
    } else if (tipo[0] == 'M') {
        std::string x = pergunta(e, "Introduza o \xEDndice X da matriz:", "P81");
        texto += " [" + x + "," + pergunta(e, "Introduza o \xEDndice Y da matriz:", "P82") + "]";
    }
    // On a line of its own the variable is given a value, so the line is a statement that
    // runs; within a line it is a name in what the user is writing.
    if (apara(e.ed.linha(e.ed.linhaAtual)).empty()) {
        const std::string valor = pergunta(e, "Introduza a express\xE3o:", "P46");
        if (!valor.empty()) texto += " = " + valor + ";";
    }
    limpaCampo(e.crt);
    digita(e, texto);
    avisaInserido(e, "Vari\xE1vel Inserida!!!", "P83");
}

// ------------------------------------------------------------------ the menu

class Menu {
  public:
    explicit Menu(Editor& e) : e_(e), listas_(listasMenuNumera(e)) {}

    void executa() {
        desenha();
        for (;;) {
            const uint8_t c = e_.crt.leTecla();
            if (c == kEsc) return;
            if (c == kEnter) {
                const int coluna = coluna_(), item = item_;
                limpaCaixa();
                return assistenteComando(e_, coluna, item);
            }
            if (c != 0) continue;
            if (!estendida(e_.crt.leTecla())) return;
        }
    }

  private:
    int coluna_() const { return std::abs(contador_ % kColunasMenuNumera); }
    const std::vector<std::string>& lista() const { return listas_[static_cast<size_t>(coluna_())]; }
    int ultima() const { return static_cast<int>(lista().size()) - 1; }

    void desenha() { desenhaMenu(e_, lista(), item_); }
    void limpaCaixa() { redesenhaTela(e_); }

    void falaEntrada() {
        const std::string prompt = promptEntradaMenu(coluna_(), item_);
        if (!prompt.empty()) return e_.fala.tocaSom(prompt);
        const std::string& texto = lista()[static_cast<size_t>(item_)];
        e_.fala.soletra(texto.substr(0, texto.find('=')));
    }

    void mudaColuna(int contador) {
        contador_ = contador;
        item_ = 0;
        desenha();
        e_.fala.tocaSom(menu(kPromptsTitulo[static_cast<size_t>(coluna_())]));
    }

    // False when the key closes the menu.
    bool estendida(uint8_t scan) {
        switch (scan) {
            case kBaixo:
                // An empty column has nothing below its heading.
                if (item_ >= ultima() || (item_ == 0 && ultima() < 2)) return true;
                item_ += item_ == 0 ? 2 : 1;
                desenha();
                falaEntrada();
                return true;
            case kCima:
                if (item_ == 0) return true;
                item_ = item_ == 2 ? 0 : item_ - 1;
                desenha();
                falaEntrada();
                return true;
            case kEsquerda: mudaColuna(contador_ - 1); return true;
            case kDireita: mudaColuna(contador_ + 1); return true;
            case kF1: {
                const std::string ajuda = promptAjudaMenu(coluna_(), item_);
                if (!ajuda.empty()) e_.fala.tocaSom(ajuda);
                return true;
            }
            case kF3:
                if (coluna_() == kColunaConstantes) {
                    const std::string unidade = promptUnidadeConstante(item_);
                    if (!unidade.empty()) e_.fala.tocaSom(unidade);
                    if (item_ == 67) e_.fala.falaTexto("c\xFA" "bicos");
                }
                return true;
            case kF2:
                compilaEExecuta(e_);
                return false;
            default:
                if (scan >= kF4 && scan <= kF9) mudaColuna(994 + scan - kF4);
                return true;
        }
    }

    Editor& e_;
    std::vector<std::vector<std::string>> listas_;
    int contador_ = 1001;
    int item_ = 0;
};

}  // namespace

std::vector<std::vector<std::string>> listasMenuNumera(const Editor& e) {
    std::vector<std::vector<std::string>> listas;
    for (std::string_view t : kTitulos) listas.push_back(comCabecalho(t));
    for (std::string_view c : kComandosMenu) listas[kColunaComandos].emplace_back(c);
    for (std::string_view t : kTiposVariavel) listas[kColunaVariaveis].emplace_back(t);
    for (size_t g = 0; g < kFuncoesMenu.size(); ++g)
        for (std::string_view f : kFuncoesMenu[g]) listas[2 + g].emplace_back(f);
    for (const Constante& c : constantesSistema(e)) listas[kColunaConstantes].push_back(c.nome);
    for (const Par& p : paresUsuario(e, "constantesUsuario.txt"))
        listas[kColunaConstantesU].push_back(p.nome + "=" + p.valor);
    for (int i = 0; i < kConversoes; ++i)
        listas[kColunaConversoes].emplace_back(nomesFuncoes[static_cast<size_t>(kPrimeiraConversao + i)]);
    for (const Par& p : paresUsuario(e, "ExpressoesUsuario.txt")) listas[kColunaExpressoesU].push_back(p.nome);
    for (std::string_view x : {"Impress\xE3o 1", "Impress\xE3o 2", "Impress\xE3o 3"}) listas[11].emplace_back(x);
    return listas;
}

std::string promptEntradaMenu(int coluna, int item) {
    if (item == 0) return menu(kPromptsTitulo[static_cast<size_t>(coluna)]);
    if (item < 2) return {};
    if (coluna == kColunaComandos) return menu("C" + std::to_string(item - 2));
    if (coluna == kColunaVariaveis) return menu("V" + std::to_string(item - 2));
    if (colunaDeFuncoes(coluna)) return menu("F" + std::to_string(chaveFuncao(indiceFuncaoMenu(coluna, item))));
    if (coluna == kColunaConstantes) {
        if (item == 2) return "\\COMANDOS\\CONSTANTES\\PI";
        if (item == 3) return "\\COMANDOS\\CONSTANTES\\NE";
        return "\\COMANDOS\\CONSTANTES\\C" + std::to_string(item - 3);
    }
    return {};
}

std::string promptAjudaMenu(int coluna, int item) {
    const std::string ajuda = "\\COMANDOS\\AYUDA\\";
    if (coluna == kColunaConversoes && item == 0) return ajuda + "F122";
    if (item < 2) return {};
    if (coluna == kColunaComandos) return ajuda + chaveAjudaComando(item);
    if (coluna == kColunaVariaveis) return ajuda + "A" + std::to_string(item + 22);
    if (colunaDeFuncoes(coluna)) return ajuda + "F" + std::to_string(chaveFuncao(indiceFuncaoMenu(coluna, item)));
    return {};
}

std::string promptUnidadeConstante(int item) {
    struct Faixa {
        int de, ate, unidade;
    };
    static constexpr Faixa kFaixas[] = {
        {4, 8, 1},   {9, 9, 2},   {10, 11, 3}, {12, 13, 4}, {31, 31, 4}, {57, 60, 4}, {14, 14, 5},
        {15, 15, 6}, {16, 16, 7}, {17, 17, 8}, {18, 18, 9}, {19, 19, 10}, {27, 27, 10}, {20, 20, 11},
        {21, 21, 12}, {22, 22, 13}, {23, 23, 14}, {24, 24, 15}, {25, 25, 16}, {26, 26, 17},
        {28, 28, 18}, {29, 29, 19}, {30, 30, 20}, {32, 32, 21}, {37, 37, 21}, {33, 36, 33},
        {38, 39, 22}, {53, 54, 22}, {40, 42, 23}, {43, 50, 24}, {64, 64, 24}, {51, 52, 25},
        {55, 55, 26}, {56, 56, 27}, {61, 62, 28}, {63, 63, 29}, {65, 66, 30}, {67, 67, 4},
        {68, 68, 31}, {69, 69, 32},
    };
    for (const Faixa& f : kFaixas)
        if (item >= f.de && item <= f.ate) return "\\COMANDOS\\UNIDADES\\U" + std::to_string(f.unidade);
    return {};
}

void menuNumera(Editor& e) {
    Menu(e).executa();
    redesenhaTela(e);
}

void assistenteComando(Editor& e, int coluna, int item) {
    if (item < 2) return;
    if (coluna == kColunaComandos) return assistenteDeComando(e, item);
    if (coluna == kColunaVariaveis) return assistenteDeVariavel(e, item);
    if (colunaDeFuncoes(coluna)) return assistenteDeFuncao(e, indiceFuncaoMenu(coluna, item));
    const std::vector<std::vector<std::string>> listas = listasMenuNumera(e);
    const auto& lista = listas[static_cast<size_t>(coluna)];
    if (item >= static_cast<int>(lista.size())) return;
    std::string texto;
    if (coluna == kColunaConstantes) {
        texto = "(" + constantesSistema(e)[static_cast<size_t>(item - 2)].simbolo + ")";
    } else if (coluna == kColunaConstantesU) {
        texto = "(" + paresUsuario(e, "constantesUsuario.txt")[static_cast<size_t>(item - 2)].nome + ")";
    } else if (coluna == kColunaExpressoesU) {
        texto = paresUsuario(e, "ExpressoesUsuario.txt")[static_cast<size_t>(item - 2)].valor;
    }
    digita(e, texto);
    avisaInserido(e, coluna == kColunaExpressoesU ? "Express\xE3o Inserida!!!" : "Constante Inserida!!!",
                  coluna == kColunaExpressoesU ? "P86" : "P88");
}

std::string perguntaTexto(Editor& e, std::string_view pergunta, std::string_view prompt) {
    mostraPergunta(e, pergunta, prompt);
    std::string texto;
    size_t cursor = 0;
    for (;;) {
        desenhaResposta(e.crt, texto, static_cast<int>(cursor));
        const uint8_t c = e.crt.leTecla();
        if (c == kEnter) return texto;
        if (c == kEsc) return {};
        if (c == kBackspace) {
            if (cursor > 0) {
                texto.erase(--cursor, 1);
                e.fala.tocaSom("\\COMANDOS\\PALABRAS\\P13");
            }
        } else if (c == 0) {
            const uint8_t scan = e.crt.leTecla();
            if (scan == kF1 && !prompt.empty()) {
                e.fala.tocaSom(prompt);
            } else if (scan == kEsquerda && cursor > 0) {
                e.fala.falaLetra(static_cast<uint8_t>(texto[--cursor]));
            } else if (scan == kDireita && cursor < texto.size()) {
                e.fala.falaLetra(static_cast<uint8_t>(texto[cursor++]));
            }
        } else if (c >= 32 && c != 127) {
            e.fala.falaLetra(c);
            if (texto.size() < kMaxResposta) texto.insert(cursor++, 1, static_cast<char>(c));
        }
    }
}

int perguntaEscolha(Editor& e, std::string_view pergunta, std::string_view prompt, char letra1,
                    char letra2) {
    const char letras[] = {letra1, letra2};
    return escolhaEntre(e, pergunta, prompt, {letras, 2}) == 0 ? 1 : 0;
}

std::vector<std::string> promptsNumera() {
    std::vector<std::string> nomes = promptsLeitura();
    const auto mais = [&nomes](std::string nome) {
        if (!nome.empty() && std::find(nomes.begin(), nomes.end(), nome) == nomes.end())
            nomes.push_back(std::move(nome));
    };
    for (int coluna = 0; coluna < kColunasMenuNumera; ++coluna) {
        int ultima = 1;
        if (coluna == kColunaComandos) ultima = 31;
        if (coluna == kColunaVariaveis) ultima = 6;
        if (coluna >= 2 && coluna <= 6) ultima = static_cast<int>(kFuncoesMenu[static_cast<size_t>(coluna - 2)].size()) + 1;
        if (coluna == kColunaConversoes) ultima = kConversoes + 1;
        if (coluna == kColunaConstantes) ultima = kMaxConstantes + 1;
        for (int item = 0; item <= ultima; ++item) {
            mais(promptEntradaMenu(coluna, item));
            mais(promptAjudaMenu(coluna, item));
        }
    }
    for (int item = 0; item <= kMaxConstantes + 1; ++item) mais(promptUnidadeConstante(item));
    for (int n = 1; n <= 110; ++n) mais(parametro("P" + std::to_string(n)));
    for (std::string_view m : {"M2", "M3", "M4", "M5", "M7", "M8", "M9", "NUMERA"})
        mais("\\COMANDOS\\MENSAJES\\" + std::string(m));
    for (size_t n = 0; n < textosErroNumera.size(); ++n) mais("\\COMANDOS\\ERROS\\E" + std::to_string(n));
    return nomes;
}
