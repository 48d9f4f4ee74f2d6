#include "speech/fala.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <iostream>

#include "platform/arquivoSistema.h"

#include "platform/caminhos.h"
#include "platform/codigos.h"
#include "platform/ini.h"
#include "platform/texto.h"
#include "speech/numeros.h"
#include "speech/servidores/fabricaServidor.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDigitosPorExtenso = 7;       // runs this long or longer are spelled
constexpr int kRepeticoesAteClique = 5;     // from the fifth equal sign on, a click
constexpr size_t kBufferPalavras = 30000;   // samples of recorded words joined per sound
constexpr uintmax_t kMaiorPalavra = 65536;  // larger word files are streamed alone
constexpr int kPausaMaxima = 10000;         // ms; a larger INI value would stall speech
constexpr int kEsperasServidor = 200;       // 50 ms each: a greeting longer than this is cut
constexpr FormatoAudio kFormatoPalavras{1, 11025, 8};

bool ehDigito(unsigned char c) {
    return c >= '0' && c <= '9';
}

// Letters of a phrase: ASCII letters and every byte of the upper half (accented letters).
bool ehLetra(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 128;
}

// TRADUTOR/SAPI present and not starting with N: texts go to a speech server.
bool servidorPedido(Fala& fala) {
    const std::string sapi(apara(fala.leIni("TRADUTOR", "SAPI")));
    return !sapi.empty() && std::toupper(static_cast<unsigned char>(sapi[0])) != 'N';
}

int numeroIni(const std::string& valor, int padrao) {
    const std::optional<long> n = inteiroIni(valor);
    return n ? static_cast<int>(std::clamp<long>(*n, -1000000, 1000000)) : padrao;
}

// "S"/"N" keys: any value whose first letter is not N means yes; an empty one means no.
bool opcaoSim(const std::string& valor) {
    return !valor.empty() && std::toupper(static_cast<unsigned char>(valor[0])) != 'N';
}

bool comecaSemCaixa(std::string_view s, std::string_view prefixo) {
    if (s.size() < prefixo.size()) return false;
    for (size_t i = 0; i < prefixo.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != prefixo[i]) return false;
    return true;
}

bool enderecoWeb(std::string_view nome) {
    return comecaSemCaixa(nome, "http://") || comecaSemCaixa(nome, "https://") ||
           comecaSemCaixa(nome, "www.");
}

// The (at most) three letters after the first '.' of the file name, upper-cased; the
// directories before it do not count.
std::string extensao(std::string_view nome) {
    const size_t barra = nome.find_last_of("/\\");
    const std::string_view arquivo =
        barra == std::string_view::npos ? nome : nome.substr(barra + 1);
    const size_t ponto = arquivo.find('.');
    if (ponto == std::string_view::npos) return {};
    return maiusculasLatin1(arquivo.substr(ponto + 1, 3));
}

// Blank-separated words, double quotes grouping blanks into one (the quotes dropped).
std::vector<std::string> separaArgumentos(std::string_view texto) {
    std::vector<std::string> args;
    std::string atual;
    bool temAtual = false, aspas = false;
    for (char c : texto) {
        if (c == '"') {
            aspas = !aspas;
            temAtual = true;
        } else if ((c == ' ' || c == '\t') && !aspas) {
            if (temAtual) args.push_back(std::move(atual));
            atual.clear();
            temAtual = false;
        } else {
            atual += c;
            temAtual = true;
        }
    }
    if (temAtual) args.push_back(std::move(atual));
    return args;
}

// A name without '/' would be looked up in PATH: a file found here must carry one.
std::string caminhoParaIniciar(const fs::path& arquivo) {
    const std::string s = arquivo.string();
    return s.find('/') == std::string::npos ? "./" + s : s;
}

// The whole file when it is small enough to be one recorded word; empty otherwise.
std::vector<uint8_t> lePalavra(const fs::path& arquivo) {
    std::error_code ec;
    const uintmax_t tamanho = fs::file_size(arquivo, ec);
    if (ec || tamanho > kMaiorPalavra) return {};
    std::ifstream f(arquivo, std::ios::binary);
    std::vector<uint8_t> bytes(static_cast<size_t>(tamanho));
    f.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(f.gcount()));
    return bytes;
}

}  // namespace

std::string expandeArroba(std::string valor, const std::string& programas) {
    size_t pos = 0;
    if (!valor.empty() && valor[0] == '@') {
        valor.replace(0, 1, programas);
        pos = programas.size();
    }
    // Each "@\" after what was already expanded, so a directory that itself holds "@\"
    // cannot make the expansion go on for ever.
    while ((pos = valor.find("@\\", pos)) != std::string::npos) {
        valor.replace(pos, 1, programas);
        pos += programas.size();
    }
    return valor;
}

// One speech operation under way. Only the outermost one, called from outside speech,
// writes its trace line; what it calls in turn is part of it.
class Fala::Chamada {
  public:
    explicit Chamada(Fala& fala) : fala_(fala), deFora_(fala.profundidade_++ == 0) {}
    ~Chamada() { --fala_.profundidade_; }
    Chamada(const Chamada&) = delete;
    Chamada& operator=(const Chamada&) = delete;
    void anota(std::string_view linha) const {
        if (deFora_) fala_.rastro(linha);
    }

  private:
    Fala& fala_;
    bool deFora_;
};

Fala::Fala(SnCrt& crt, DispositivoAudio& audio)
    : crt_(crt),
      audio_(audio),
      tocador_(crt, audio),
      sintetizador_(SaidaSom{[this](std::span<const uint8_t> onda) { tocaSaida(onda); },
                             [this] { return crt_.teclaPressionada(); },
                             [this](const fs::path& arquivo) { tocador_.tocaArquivo(arquivo); },
                             [this](std::span<const uint8_t> onda) { tocador_.tocaMemoria(onda, true); }}),
      fabrica_(criaServidorFala),
      // The click's noise is seeded from the front-end's clock: a key script's run (the
      // headless virtual clock) records the same samples every time and on every system.
      clique_(ondaClique(static_cast<uint32_t>(crt.agoraMs()))) {
    std::error_code ec;
    diretorioInicial_ = fs::current_path(ec);
}

Fala::~Fala() {
    fechaServidor();
    sintetizador_.fecha();
}

// ------------------------------------------------------------------ trace and INI

void Fala::defineRastro(const std::string& arquivo) {
    rastro_.open(arquivo, std::ios::binary | std::ios::trunc);
}

void Fala::rastro(std::string_view linha) {
    if (!rastro_.is_open()) return;
    rastro_ << win1252ParaUtf8(linha) << '\n';
    rastro_.flush();  // the program may end at any key
}

void Fala::anota(std::string_view linha) {
    Chamada c(*this);
    c.anota(linha);
}

fs::path Fala::arquivoIni() const { return arquivoSonareIni(); }

std::string Fala::leIni(std::string_view secao, std::string_view chave) {
    const fs::path ini = arquivoIni();
    if (secao.empty()) secao = "SONARE";
    std::string valor = leIniArquivo(ini, secao, chave);
    if (valor.find('@') == std::string::npos) return valor;
    std::string programas = leIniArquivo(ini, "SONARE", "PGMSONARE");
    if (programas.empty() || programas[0] == '@') programas = diretorioInicial_.string();
    return expandeArroba(std::move(valor), programas).substr(0, kMaxValorIni);
}

// ------------------------------------------------------------------ start and end

// The synthesizer settings of speed level `nivel` (section SINTETIZADOR, the level's digit
// after each key), handed to the synthesizer and the wave player.
void Fala::leNivel(int nivel) {
    const std::string n = std::to_string(nivel);
    auto valor = [&](const char* chave) { return leIni("SINTETIZADOR", chave + n); };
    banco_ = valor("DIFONES").substr(0, kMaxNomeDifone);
    Cortes cortes;
    cortes.corteFon = std::max(numeroIni(valor("CORTEFON"), 0), 0);
    cortes.sobraFon = std::max(numeroIni(valor("SOBRAFON"), 0), 0);
    cortes.interPal = std::max(numeroIni(valor("INTERPAL"), 0), 0);
    sintetizador_.mudaCortes(cortes);
    tocador_.comprimeTempo = opcaoSim(valor("CORTAFALA"));
    tocador_.acelerado = opcaoSim(valor("RAPIDINHO"));
    auto pausa = [&](const char* chave, int padrao) {
        return std::clamp(numeroIni(valor(chave), padrao), 0, kPausaMaxima);
    };
    pausas_.ponto = pausa("PAUSAPONTO", 250);
    pausas_.virgula = pausa("PAUSAVIRG", 150);
    pausas_.doisPontos = pausa("PAUSADOISPONTOS", 200);
}

void Fala::inicializaFala(int velocidade, const std::string& diretorioMensagens) {
    Chamada c(*this);
    if (velocidade < 1) velocidade = numeroIni(leIni("TRADUTOR", "VELOCIDADE"), 0);
    if (velocidade < 1 || velocidade > 5) velocidade = 3;
    const int anterior = nivel_;
    nivel_ = velocidade;
    leNivel(nivel_);
    fechaServidor();

    auto abre = [this] {
        return sintetizador_.abre(leConfiguracaoSintetizador(arquivoSonareIni(), banco_));
    };
    const int resultado = abre();
    abreviaturas_.carrega(arquivoBrisatts([this](auto s, auto k) { return leIni(s, k); }, ".abr"));
    if (resultado != kSintetizadorPronto && iniciada_) {
        // While editing, a level whose bank cannot be opened is refused with one beep and
        // the level in force stays: ending here would leave the text behind.
        if (!banco_.empty()) {
            bip();
            nivel_ = anterior;
            leNivel(nivel_);
            abre();
        }
    } else if (resultado != kSintetizadorPronto) {
        falhaSintetizador(resultado);
    }
    iniciada_ = true;

    diretorioMensagens_ = pastaComBarra(diretorioMensagens);
    diretorioLetras_ =
        leIniArquivo(arquivoSonareIni(), "TRADUTOR", "DIRLETRAS", "c:\\ornato\\som\\letras\\");
    if (diretorioLetras_.empty() || diretorioLetras_.back() != '\\') diretorioLetras_ += '\\';

    if (!servidorPedido(*this)) return;
    const int voz = numeroIni(leIni("SERVFALA", "VOZ"), 0);
    int taxa = numeroIni(leIni("SERVFALA", "VELOCIDADE"), 0);
    const int tom = numeroIni(leIni("SERVFALA", "TOM"), 0);
    const int tipo = numeroIni(leIni("SERVFALA", "TIPOSAPI"), 0);
    // Only the engine of type 4 takes rates above 10.
    if (tipo != kServidorSapi4 && taxa > 10) taxa = 0;
    abreServidor(voz, taxa, tom, tipo);
}

// A voice bank that is configured for the level (its name given) but missing or broken is
// fatal: the two console lines, the error beep and the same words said by any speech server
// that still opens, since the user may not see the screen; then Enter ends the program. A
// level without a bank name leaves recorded speech only, said once on the standard error.
void Fala::falhaSintetizador(int codigo) {
    const std::string linha1 = "Erro de inicializa\xE7\xE3o: " + std::to_string(codigo);
    const std::string linha2 = "Banco de dados de voz: " + banco_;
    if (banco_.empty()) {
        if (avisaFaltaVoz && !avisouSemVoz_)
            std::cerr << win1252ParaUtf8(linha1) << '\n' << win1252ParaUtf8(linha2) << '\n';
        avisouSemVoz_ = true;
        return;
    }
    crt_.escreve(linha1 + "\r\n");
    crt_.escreve(linha2 + "\r\n");
    sintetizador_.fecha();
    bip();
    avisaPorServidor(linha1 + ". " + linha2 + ". Tecle Enter para terminar.");
    for (;;) {
        const uint8_t c = crt_.leTecla();
        if (c == 13) break;
        if (c == 0) crt_.leTecla();  // an extended key's scan code is not Enter
    }
    paraFala();
    fechaServidor();
    crt_.terminaConsole();
}

// Says `texto` with the first speech server that opens: the configured one, then espeak-ng,
// then the system's speech service. Nothing when none does.
void Fala::avisaPorServidor(const std::string& texto) {
    std::vector<int> tipos;
    if (servidorPedido(*this)) tipos.push_back(numeroIni(leIni("SERVFALA", "TIPOSAPI"), 0));
    for (int t : {kServidorSapi4, kServidorSapi5})
        if (std::find(tipos.begin(), tipos.end(), t) == tipos.end()) tipos.push_back(t);
    for (int tipo : tipos) {
        if (!abreServidor(0, 0, 0, tipo)) continue;
        servidor_->fala(texto);
        while (falando()) crt_.esperaTecla(10);
        return;
    }
}

bool Fala::abreServidor(int voz, int taxa, int tom, int tipo) {
    fechaServidor();
    tipoServidor_ = tipo;
    if (fabrica_)
        servidor_ = fabrica_(
            tipo, AmbienteServidor{tocador_, [this](auto s, auto k) { return leIni(s, k); },
                                   [this] { return crt_.teclaPressionada(); }});
    servidorAtivo_ = servidor_ && servidor_->abre(voz, taxa, tom);
    if (!servidorAtivo_) {
        servidor_.reset();  // recorded speech stays, silently
        return false;
    }
    aberto_ = {voz, taxa, tom, tipo};
    // An engine may greet when it opens; that ends first.
    for (int i = 0; i < kEsperasServidor && servidor_->falando(); ++i) crt_.Delay(50);
    return true;
}

void Fala::fechaServidor() {
    if (servidor_) servidor_->fecha();
    servidor_.reset();
    servidorAtivo_ = false;
}

void Fala::terminaFala() {
    Chamada c(*this);
    while (falando()) crt_.esperaTecla(10);
    paraFala();
    fechaServidor();
    sintetizador_.fecha();
}

bool Fala::mudaServidorFala(int velocidade, bool ligado, int tipo, int tom, int taxa, int voz) {
    Chamada c(*this);
    paraFala();
    const std::optional<AberturaServidor> anterior =
        servidorAtivo_ ? std::optional(aberto_) : std::nullopt;
    fechaServidor();
    // A level outside 1 to 5 keeps the one in force.
    if (velocidade >= 1 && velocidade <= 5) nivel_ = velocidade;
    leNivel(nivel_);
    if (!ligado) return true;
    if (voz == 0) voz = numeroIni(leIni("SERVFALA", "VOZ"), 0);
    if (abreServidor(voz, taxa, tom, tipo)) return true;
    if (anterior) abreServidor(anterior->voz, anterior->taxa, anterior->tom, anterior->tipo);
    return false;
}

// ------------------------------------------------------------------ speaking texts

void Fala::falaTexto(std::string_view texto) {
    Chamada c(*this);
    c.anota("texto " + std::string(texto));
    if (!servidorAtivo_) return falaGravada(texto);
    aguardaSilencio();
    if (crt_.teclaPressionada()) return;
    servidor_->pontuacao(falaPontuacao);
    if (servidor_->disponivel()) servidor_->fala(texto);
    // A server that went away (or went away taking this text) leaves recorded speech.
    if (!servidor_->disponivel()) {
        fechaServidor();
        return falaGravada(texto);
    }
    falaServidorPendente_ = true;
}

// Recorded speech: the text is taken from the front, one item at a time: zeros, numbers,
// phrases of letters and single signs. Abbreviations are written out first, so that "Sr."
// is said "senhor" without the pause of a full stop.
void Fala::falaGravada(std::string_view texto) {
    const std::string copia = abreviaturas_.expande(texto) + ' ';
    std::string_view resto = copia;
    pedidoParada_ = false;
    char anterior = 0;
    int repeticoes = 0;
    while (!resto.empty() && !pedidoParada_) {
        if (crt_.teclaPressionada()) {
            paraFala();
            break;
        }
        const unsigned char c = static_cast<unsigned char>(resto[0]);
        if (!ehDigito(c) && !ehLetra(c)) {
            falaSinal(resto, anterior, repeticoes);
            continue;
        }
        // A word or a number breaks a run of equal signs.
        anterior = 0;
        repeticoes = 0;
        if (c == '0') {
            tocaSom("_zero");
            resto.remove_prefix(1);
        } else if (ehDigito(c)) {
            falaNumero(resto);
        } else {
            falaFrase(resto);
        }
    }
}

// Digits and hyphens: a plain number of up to six digits in words, anything else spelled.
void Fala::falaNumero(std::string_view& resto) {
    size_t n = 0;
    while (n < resto.size() && (ehDigito(static_cast<unsigned char>(resto[n])) || resto[n] == '-'))
        ++n;
    const std::string_view sequencia = resto.substr(0, n);
    if (sequencia.find('-') == std::string_view::npos && n < kDigitosPorExtenso)
        falaExtenso(numeroExtenso(std::stoull(std::string(sequencia))), false);
    else
        soletra(sequencia);
    resto.remove_prefix(n);
}

// Letters and blanks go to the synthesizer; "www" is spelled. A hyphen joining two words
// is not said.
void Fala::falaFrase(std::string_view& resto) {
    size_t n = 0;
    while (n < resto.size() && (ehLetra(static_cast<unsigned char>(resto[n])) || resto[n] == ' '))
        ++n;
    const std::string frase(apara(resto.substr(0, n)));
    if (maiusculasLatin1(frase) == "WWW")
        soletra(frase);
    else
        sintetizador_.falaTexto(resto.substr(0, n));
    resto.remove_prefix(n);
    if (resto.size() >= 2 && resto[0] == '-' && ehLetra(static_cast<unsigned char>(resto[1])))
        resto.remove_prefix(1);
}

// Any other character: repeated signs become clicks from the fifth on, hyphens and
// punctuation have their own rules, blanks are skipped, the rest is said by name.
void Fala::falaSinal(std::string_view& resto, char& anterior, int& repeticoes) {
    char c = resto[0];
    if (c == anterior) {
        ++repeticoes;
    } else {
        anterior = c;
        repeticoes = 1;
    }
    if (repeticoes >= kRepeticoesAteClique) {
        clique();
        c = ' ';
    }
    if (resto[0] == '-') {
        falaHifen(resto);
    } else if (resto.starts_with("://")) {
        falaLetra(':');
    } else {
        switch (c) {
            case '(':
            case ')':
            case ',':
            case '.':
            case ':':
            case ';':
                pontuacao(resto);
                break;
            case ' ':
            case '\t':
                break;
            default:
                falaLetra(static_cast<uint8_t>(c));
        }
    }
    resto.remove_prefix(1);
}

void Fala::falaHifen(std::string_view resto) {
    const char depois = resto.size() > 1 ? resto[1] : ' ';
    if (resto.size() < 3 || depois == ' ' || depois == '-')
        pontuacao(resto);
    else if (ehDigito(static_cast<unsigned char>(depois)))
        tocaSom("_MENOS");
    else
        falaLetra('-');
}

// A punctuation sign at the front of `resto`: said by name when punctuation is spoken,
// then its pause. A comma, hyphen or point inside a word (a decimal point) has no pause.
void Fala::pontuacao(std::string_view resto) {
    const char p = resto[0];
    const char depois = resto.size() > 1 ? resto[1] : ' ';
    if (!crt_.teclaPressionada()) {
        esperaFimSom();
        if (falaPontuacao) falaLetra(static_cast<uint8_t>(p));
    }
    switch (p) {
        case '(':
        case ')':
        case ':':
        case ';':
            pausaFala(pausas_.doisPontos);
            break;
        case ',':
        case '-':
        case '.':
            if (depois == ' ')
                pausaFala(p == '.' ? pausas_.ponto : pausas_.virgula);
            else if (!falaPontuacao)
                falaLetra(static_cast<uint8_t>(p));
            break;
        default:
            break;
    }
}

void Fala::soletra(std::string_view texto) {
    Chamada c(*this);
    c.anota("soletra " + std::string(texto));
    for (char ch : texto) {
        if (crt_.teclaPressionada()) break;
        falaLetra(static_cast<uint8_t>(ch));
    }
}

void Fala::escreveFala(std::string_view texto) {
    Chamada c(*this);
    c.anota("texto " + std::string(texto));
    crt_.escreve(texto);
    falaTexto(texto);
}

// ------------------------------------------------------------------ recordings

fs::path Fala::arquivoSom(std::string_view nome) const {
    const std::string& dir =
        (!nome.empty() && nome[0] == '_') ? diretorioLetras_ : diretorioMensagens_;
    return arquivoWindows(dir + std::string(nome) + ".wav");
}

void Fala::falaLetra(uint8_t c) {
    Chamada ch(*this);
    ch.anota("letra " + std::to_string(c));
    esperaFala();
    tocador_.tocaArquivo(arquivoSom("_" + std::to_string(c)));
}

void Fala::tocaSom(std::string_view nome) {
    Chamada c(*this);
    c.anota("som " + std::string(nome));
    esperaFala();
    tocador_.tocaArquivo(arquivoSom(nome));
}

void Fala::tocaOnda(std::string_view nome, TocadorOnda::Modo modo) {
    Chamada c(*this);
    const char* como = modo == TocadorOnda::Modo::Repetindo ? " repete"
                       : modo == TocadorOnda::Modo::Sincrono ? " espera"
                                                              : "";
    c.anota("onda " + std::string(nome) + como);
    tocador_.tocaArquivoSegundaVoz(arquivoSom(nome), modo);
}

bool Fala::existeSom(std::string_view nome) {
    std::error_code ec;
    return fs::is_regular_file(arquivoSom(nome), ec);
}

void Fala::clique() {
    Chamada c(*this);
    c.anota("clique");
    const bool comprime = tocador_.comprimeTempo;
    tocador_.comprimeTempo = false;
    tocador_.tocaMemoria(clique_);
    esperaFimSom();
    tocador_.comprimeTempo = comprime;
}

void Fala::bip() {
    Chamada c(*this);
    c.anota("bip");
    // Keys a held-down key repeated are dropped; text typed ahead stays.
    crt_.descartaComandos();
    tocador_.tocaMemoria(ondaBip());
    esperaFimSom();
}

void Fala::tocaDTMF(std::string_view texto) {
    Chamada c(*this);
    c.anota("dtmf " + std::string(texto));
    const bool acelerado = tocador_.acelerado;
    tocador_.acelerado = false;  // tones keep their pitch
    for (char ch : texto) {
        if (crt_.teclaPressionada()) break;
        if (ch == ',') {
            crt_.Delay(1000);
        } else if (ch == '#' || ch == '*' || ehDigito(static_cast<unsigned char>(ch))) {
            const char tecla = ch == '*' ? 'X' : ch;
            tocador_.tocaArquivo(arquivoWindows(diretorioLetras_ + "dtmf_" + tecla + ".wav"));
            esperaFimSom();
            crt_.Delay(100);
        }
    }
    tocador_.acelerado = acelerado;
}

// ------------------------------------------------------------------ stopping and waiting

// The sign named before the pause may still sound: a key ends both at once.
void Fala::pausaFala(int ms) {
    for (int i = 0; i < ms / 50 && !crt_.teclaPressionada(); ++i)
        if (crt_.esperaTecla(50)) return;
}

bool Fala::soando() {
    const bool onda = audio_.aberto() && audio_.blocosNaFila() > 0;
    return onda || (servidorAtivo_ && servidor_->falando());
}

void Fala::paraFala() {
    Chamada c(*this);
    const bool soava = soando();
    // A speech service's own sound is the slowest to stop: it is told first.
    if (servidorAtivo_ && (tipoServidor_ == kServidorProprio || servidor_->falando()))
        servidor_->para();
    tocador_.para();
    pedidoParada_ = true;
    if (soava) c.anota("para");
}

// Not an operation of its own: a stop it causes belongs to whoever asked.
bool Fala::falando() {
    if (crt_.teclaPressionada()) {
        paraFala();
        return false;
    }
    const bool onda = tocador_.tocando();
    if (servidorAtivo_) return onda || servidor_->falando();
    return onda;
}

void Fala::aguardaSilencio() {
    const int passo = servidorAtivo_ && tipoServidor_ == kServidorSapi5 ? 2 : 10;
    while (falando()) crt_.esperaTecla(passo);
}

void Fala::esperaFala() {
    if (!falaServidorPendente_) return;
    aguardaSilencio();
    falaServidorPendente_ = false;
}

void Fala::esperaFimSom() {
    while (tocador_.tocando()) crt_.esperaTecla(10);
}

void Fala::tocaSaida(std::span<const uint8_t> onda) {
    tocador_.tocaMemoria(onda);
    esperaFimSom();
}

uint8_t Fala::leTeclaEco() {
    Chamada ch(*this);
    const uint8_t c = crt_.leTecla();
    paraFala();
    // A 0 announces an extended key (F1 asking for help): it is no letter to say.
    if (c == 0) return c;
    ch.anota("letra " + std::to_string(c));
    falaLetra(c);
    return c;
}

// ------------------------------------------------------------------ numbers, time, date

void Fala::falaExtenso(std::string_view palavras, bool feminino) {
    Chamada c(*this);
    c.anota("extenso " + std::string(palavras));
    tocaArquivosPalavras(arquivosExtenso(palavras, feminino));
}

void Fala::falaHora(int horas, int minutos) {
    Chamada c(*this);
    c.anota("hora " + std::to_string(horas) + " " + std::to_string(minutos));
    tocaArquivosPalavras(arquivosHora(horas, minutos));
}

void Fala::falaData(int dia, int mes, int ano) {
    Chamada c(*this);
    c.anota("data " + std::to_string(dia) + " " + std::to_string(mes) + " " + std::to_string(ano));
    tocaArquivosPalavras(arquivosData(dia, mes, ano));
}

void Fala::falaHora() {
    const std::time_t t = std::time(nullptr);
    const std::tm tm = horaLocal(t);
    falaHora(tm.tm_hour, tm.tm_min);
}

void Fala::falaData() {
    const DataSistema d = crt_.GetDate();
    falaData(d.dia, d.mes, d.ano);
}

// Recorded words joined into sounds of at most 30000 samples, each played to its end. A
// missing file is skipped; one that is not 11025 Hz 8-bit mono, or too long to join, is
// played by itself.
void Fala::tocaArquivosPalavras(const std::vector<std::string>& nomes) {
    std::vector<uint8_t> buffer;
    buffer.reserve(kBufferPalavras);
    for (const std::string& nome : nomes) {
        if (tocador_.interrompivel && crt_.teclaPressionada()) return;
        const fs::path arquivo = arquivoWindows(diretorioLetras_ + nome + ".wav");
        std::error_code ec;
        if (!fs::is_regular_file(arquivo, ec)) continue;
        OndaPcm onda;
        const bool juntavel = leOndaPcm(lePalavra(arquivo), onda) &&
                              onda.formato == kFormatoPalavras &&
                              onda.dados.size() <= kBufferPalavras;
        if (!juntavel) {
            despejaPalavras(buffer);
            tocador_.tocaArquivo(arquivo);
            continue;
        }
        if (buffer.size() + onda.dados.size() > kBufferPalavras) despejaPalavras(buffer);
        buffer.insert(buffer.end(), onda.dados.begin(), onda.dados.end());
    }
    despejaPalavras(buffer);
}

void Fala::despejaPalavras(std::vector<uint8_t>& buffer) {
    if (buffer.empty()) return;
    if (!(tocador_.interrompivel && crt_.teclaPressionada())) {
        tocador_.tocaPcm(buffer, kFormatoPalavras.taxa, kFormatoPalavras.canais,
                         kFormatoPalavras.bits);
        esperaFimSom();
    }
    buffer.clear();
}

// ------------------------------------------------------------------ other programs

int Fala::executaPrograma(std::string_view comando, std::string_view parametros,
                          std::string_view diretorio) {
    const std::string linha(apara(comando));
    std::string programa = linha;
    std::vector<std::string> argumentos;
    if (!linha.empty() && linha[0] == '"') {
        const size_t fecha = linha.find('"', 1);
        programa = linha.substr(1, fecha == std::string::npos ? std::string::npos : fecha - 1);
        if (fecha != std::string::npos) argumentos = separaArgumentos(linha.substr(fecha + 1));
    }
    if (!parametros.empty()) argumentos.emplace_back(parametros);
    if (programa.empty()) return kProgramaNaoAchado;
    const fs::path dir = diretorio.empty() ? fs::path() : fs::path(mapeiaCaminho(diretorio));

    auto inicia = [&](const std::string& executavel) {
        std::vector<std::string> argv{executavel};
        argv.insert(argv.end(), argumentos.begin(), argumentos.end());
        return processos_.inicia(argv, dir) == 0 ? kProgramaIniciado : kProgramaNaoAchado;
    };

    if (enderecoWeb(programa)) return abreDocumento(programa, dir);
    // Never looked up in PATH: a name is the file it names, so a word of a text cannot
    // start a program of the system.
    const fs::path arquivo = achaPrograma(programa);
    if (ehExecutavel(arquivo)) return inicia(caminhoParaIniciar(arquivo));
    return abreDocumento(arquivo.string(), dir);
}

int Fala::abreDocumento(const std::string& alvo, const fs::path& dir) {
    std::string aberto = alvo;
    if (!enderecoWeb(alvo)) {
        std::error_code ec;
        const fs::path arquivo = dir.empty() || fs::path(alvo).is_absolute() ? fs::path(alvo)
                                                                             : dir / alvo;
        if (alvo.empty() || !fs::exists(arquivo, ec)) return kProgramaNaoAchado;
        // An absolute name, so that a name starting with '-' is not taken for an option.
        aberto = fs::absolute(arquivo, ec).string();
    }
    return processos_.inicia({kAbridorSistema, aberto}, dir) == 0 ? kProgramaIniciado
                                                                  : kSemAssociacao;
}

// Phase one: at most six seconds for the started program to take the focus. Phase two:
// while the focus is elsewhere. Where no focus change is seen (a terminal), until the
// program has ended.
void Fala::esperaRetorno() {
    auto passo = [&] {
        if (processos_.rodando())
            processos_.esperaFim(std::chrono::milliseconds(1000));
        else
            crt_.Delay(1000);
        crt_.teclaPressionada();
    };
    for (int i = 0; i < 6 && crt_.primeiroPlano() && processos_.rodando(); ++i) passo();
    bool saiu = false;
    while (!crt_.primeiroPlano()) {
        saiu = true;
        passo();
    }
    if (!saiu)
        while (processos_.rodando() && crt_.primeiroPlano()) passo();
}

// A program of a text: only a file of the text's own folder named exactly as written (no
// other folder, no other case, no name without its ".exe"), itself and no link, so a word
// of a text received from someone else can never start a program of the system.
int Fala::iniciaDaPasta(std::string_view nome, const fs::path& pasta) {
    if (nome.find_first_of("/\\") != std::string_view::npos) return kProgramaNaoAchado;
    const fs::path arquivo = pasta / win1252ParaUtf8(nome);
    std::error_code ec;
    if (!fs::is_regular_file(fs::symlink_status(arquivo, ec)) || !ehExecutavel(arquivo))
        return kProgramaNaoAchado;
    return processos_.inicia({arquivo.string()}, pasta) == 0 ? kProgramaIniciado
                                                             : kProgramaNaoAchado;
}

bool Fala::abreComPrograma(std::string_view nome, const fs::path& pasta) {
    while (falando()) crt_.esperaTecla(10);
    const std::string diretorio = pasta.string();
    std::string programa, parametro(nome);
    int resultado = 0;
    if (enderecoWeb(nome)) {
        programa = leIni("SONARE", "PROG.HTM");
    } else if (const std::string ext = extensao(nome); ext == "EXE" || ext == "COM") {
        resultado = iniciaDaPasta(nome, pasta);
        parametro.clear();
    } else {
        programa = leIni("SONARE", "PROG." + ext);
    }
    if (!programa.empty()) resultado = executaPrograma(programa, parametro, diretorio);
    // No program of the family for it, or it is not there: the thing itself is opened as
    // a document, never started, whatever its name.
    if (resultado <= 32 && !parametro.empty())
        resultado = abreDocumento(std::string(nome), pasta);
    while (falando()) crt_.esperaTecla(10);
    return resultado > 32;
}

// ------------------------------------------------------------------ click and beep

std::vector<uint8_t> Fala::ondaClique(uint32_t semente) {
    std::vector<uint8_t> onda = cabecalhoWave(FormatoAudio{1, 11025, 8}, 256);
    for (int i = 0; i < 256; ++i) {
        semente = semente * 1103515245u + 12345u;
        onda.push_back(i < 64 ? static_cast<uint8_t>(128 + (semente >> 16) % 60) : 128);
    }
    return onda;
}

std::vector<uint8_t> Fala::ondaBip() {
    static constexpr uint8_t kPadrao[8] = {128, 112, 96, 80, 64, 80, 96, 112};
    std::vector<uint8_t> onda = cabecalhoWave(FormatoAudio{1, 11025, 8}, 512);
    for (int i = 0; i < 512; ++i) onda.push_back(kPadrao[i % 8]);
    return onda;
}
