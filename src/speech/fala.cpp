// The speech front end. This version keeps the trace and plays the click and the beep;
// the recorded voice, the synthesizer and the speech servers are wired in as they come.
#include "speech/fala.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cctype>
#include <ctime>

#include "platform/caminhos.h"
#include "platform/codigos.h"
#include "platform/ini.h"

extern char** environ;

namespace fs = std::filesystem;

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

Fala::Fala(SnCrt& crt, DispositivoAudio& audio)
    : crt_(crt), audio_(audio), clique_(ondaClique(static_cast<uint32_t>(std::time(nullptr)))) {
    std::error_code ec;
    diretorioInicial_ = fs::current_path(ec);
}

Fala::~Fala() = default;

void Fala::defineRastro(const std::string& arquivo) {
    rastro_.open(arquivo, std::ios::binary | std::ios::trunc);
}

void Fala::rastro(std::string_view linha) {
    if (!rastro_.is_open()) return;
    rastro_ << win1252ParaUtf8(linha) << '\n';
    rastro_.flush();  // the program may end at any key
}

void Fala::anota(std::string_view linha) { rastro(linha); }

fs::path Fala::arquivoIni() const {
    fs::path windows = arquivoSonareIni();
    std::error_code ec;
    if (fs::exists(windows, ec)) return windows;
    return achaArquivo(diretorioInicial_ / "SONARE.INI");
}

std::string Fala::leIni(std::string_view secao, std::string_view chave) {
    const fs::path ini = arquivoIni();
    if (secao.empty()) secao = "SONARE";
    std::string valor = leIniArquivo(ini, secao, chave);
    if (valor.find('@') == std::string::npos) return valor;
    std::string programas = leIniArquivo(ini, "SONARE", "PGMSONARE");
    if (programas.empty() || programas[0] == '@') programas = diretorioInicial_.string();
    return expandeArroba(std::move(valor), programas).substr(0, kMaxValorIni);
}

void Fala::inicializaFala(int, const std::string& diretorioMensagens) {
    diretorioMensagens_ = diretorioMensagens;
    if (diretorioMensagens_.empty() || diretorioMensagens_.back() != '\\')
        diretorioMensagens_ += '\\';
    diretorioLetras_ = leIniArquivo(arquivoSonareIni(), "TRADUTOR", "DIRLETRAS",
                                    "c:\\ornato\\som\\letras\\");
    if (diretorioLetras_.empty() || diretorioLetras_.back() != '\\') diretorioLetras_ += '\\';
}

void Fala::terminaFala() { paraFala(); }

void Fala::mudaServidorFala(int, bool, int, int, int, int) { paraFala(); }

void Fala::falaTexto(std::string_view texto) { rastro("texto " + std::string(texto)); }

void Fala::soletra(std::string_view texto) { rastro("soletra " + std::string(texto)); }

void Fala::falaLetra(uint8_t c) { rastro("letra " + std::to_string(c)); }

fs::path Fala::arquivoSom(std::string_view nome) const {
    const std::string& dir = (!nome.empty() && nome[0] == '_') ? diretorioLetras_ : diretorioMensagens_;
    return arquivoWindows(dir + std::string(nome) + ".wav");
}

void Fala::tocaSom(std::string_view nome) { rastro("som " + std::string(nome)); }

bool Fala::existeSom(std::string_view nome) {
    std::error_code ec;
    return fs::is_regular_file(arquivoSom(nome), ec);
}

void Fala::escreveFala(std::string_view texto) {
    crt_.escreve(texto);
    falaTexto(texto);
}

void Fala::clique() {
    rastro("clique");
    audio_.tocaSom(clique_, false);
}

void Fala::bip() {
    rastro("bip");
    crt_.limpaFila();
    audio_.tocaSom(ondaBip(), false);
}

void Fala::tocaDTMF(std::string_view texto) { rastro("dtmf " + std::string(texto)); }

void Fala::pausaFala(int ms) {
    for (int i = 0; i < ms / 50 && !crt_.teclaPressionada(); ++i) crt_.Delay(50);
}

void Fala::paraFala() {
    if (soando_) rastro("para");
    soando_ = false;
    audio_.reinicia();
}

bool Fala::falando() {
    if (crt_.teclaPressionada()) {
        paraFala();
        return false;
    }
    return soando_;
}

void Fala::esperaFala() {
    while (falando()) crt_.esperaMensagem();
}

uint8_t Fala::leTeclaEco() {
    uint8_t c = crt_.leTecla();
    paraFala();
    falaLetra(c);
    return c;
}

void Fala::falaHora() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    rastro("hora " + std::to_string(tm.tm_hour) + " " + std::to_string(tm.tm_min));
}

void Fala::falaData() {
    DataSistema d = crt_.GetDate();
    rastro("data " + std::to_string(d.dia) + " " + std::to_string(d.mes) + " " +
           std::to_string(d.ano));
}

int Fala::executaPrograma(std::string_view comando, std::string_view parametros,
                          std::string_view diretorio) {
    std::string programa = achaPrograma(comando).string();
    std::vector<std::string> args{programa};
    if (!parametros.empty()) args.emplace_back(parametros);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t acoes;
    posix_spawn_file_actions_init(&acoes);
    std::string dir(diretorio);
    if (!dir.empty()) posix_spawn_file_actions_addchdir_np(&acoes, mapeiaCaminho(dir).c_str());
    pid_t pid = 0;
    int erro = posix_spawnp(&pid, programa.c_str(), &acoes, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&acoes);
    // The shell's convention: above 32 is success.
    return erro == 0 ? 33 : 2;
}

namespace {

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

// The (at most) three letters after the first '.', upper-cased.
std::string extensao(std::string_view nome) {
    const size_t ponto = nome.find('.');
    if (ponto == std::string_view::npos) return {};
    std::string ext(nome.substr(ponto + 1, 3));
    for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return ext;
}

bool caminhoAbsoluto(std::string_view nome) {
    const bool drive =
        nome.size() >= 2 && std::isalpha(static_cast<unsigned char>(nome[0])) && nome[1] == ':';
    return drive || (!nome.empty() && (nome[0] == '\\' || nome[0] == '/'));
}

}  // namespace

bool Fala::abreComPrograma(std::string_view nome) {
    while (falando()) crt_.Delay(10);
    std::error_code ec;
    const std::string diretorio = fs::current_path(ec).string();
    std::string programa, parametro(nome);
    if (enderecoWeb(nome)) {
        programa = leIni("SONARE", "PROG.HTM");
    } else if (const std::string ext = extensao(nome); ext == "EXE" || ext == "COM") {
        // A program is started itself, from the current directory unless the name says
        // where it is.
        programa = caminhoAbsoluto(nome) ? std::string(nome) : diretorio + "/" + std::string(nome);
        parametro.clear();
    } else {
        programa = leIni("SONARE", "PROG." + ext);
    }
    // No program of the family for it: the system opens it by its kind.
    if (programa.empty()) programa = "xdg-open";
    const bool iniciou = executaPrograma(programa, parametro, diretorio) >= 32;
    while (falando()) crt_.Delay(10);
    return iniciou;
}

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
