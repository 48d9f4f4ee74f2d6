// Scripted runs of the whole program. Every folder under casos/ that holds a teclas.txt is
// a case (the folders above it only group cases); it holds the keys typed (teclas.txt),
// optionally the command line (args.txt, default "texto.txt"), the text on the clipboard
// at start (clipboard.txt, UTF-8), the file edited (texto.txt), and the expected speech
// trace (rastro.esperado), screen (tela.esperada), saved file (texto.esperado) and
// SONARE.INI afterwards (SONARE.esperado), and the math mode's code and results files
// (codigo.esperado, resultados.esperado); the files of its folder "arquivos" are put
// beside, those of its folder "win" beside SONARE.INI. A sound recorded by --audio-out in
// args.txt must have no hole: no run of digital silence cut into the speech. A case may start
// the program again in the same folders with the keys of reinicio.txt (a new session), its
// trace compared with rastro2.esperado; each file of its folder "gravados" is compared at the
// end with the file of the same path the runs left ("gravados/win/X" with X beside
// SONARE.INI). Setting
// PLUMAR_ATUALIZA_ACEITACAO=1 rewrites the expected files from the run, for review;
// PLUMAR_ACEITACAO_BINARIO names another editor to run (an installed one) instead of the
// build tree's.
//
// The SONARE.INI of a run is the one at the top of casos/ with the SONARE.INI of every
// folder down to the case merged over it in turn, so a folder says only what differs: a
// line KEY=VALUE under [SECTION] replaces that key's line, or goes after the section's
// last line that is not blank, or with the section at the end of the file; a line -KEY
// removes the key; the override's comments and blank lines are for its reader only. An override
// whose first line is -[*] inherits nothing: the rest of it, byte for byte, is the whole
// SONARE.INI, and when there is no rest the run starts without one. (The top one names
// DIRPLUMAR, the folder of the recorded messages; a case that removes it hears each
// message as its text.)
//
// PLUMAR_ACEITACAO_EMULADOR names the program that runs PLUMAR_ACEITACAO_BINARIO (the
// Windows build's plumar.exe under wine). A
// case listed in the file PLUMAR_ACEITACAO_PULA (one "group/case  reason" a line, '#'
// comments) is skipped with its reason.
//
// A Windows build says some things in its own way; a case accepts that only where its file
// normaliza.txt says so, one word a line ('#' comments): "pasta_estado" - the state folder,
// which Linux says as "~/estado/sonare" and Windows says whole (C:\...\estado\sonare, or
// the run's folder with either slash), is compared as Linux says it, in the trace and on the
// screen (whose line keeps its width). A Linux run is compared as it is.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "analiseSom.h"
#include "apoio.h"
#include "platform/texto.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::vector<std::string> palavras(const std::string& linha) {
    std::istringstream in(linha);
    std::vector<std::string> v;
    for (std::string p; in >> p;) v.push_back(p);
    return v;
}

// Runs the program in `pasta` with `args`; its exit status.
int roda(const fs::path& pasta, std::vector<std::string> args) {
    std::vector<std::string> ambiente;
    for (char** v = environ; *v; ++v) {
        std::string s(*v);
        // The user's locale chooses the math mode's decimal separator: the cases run in C.
        if (s.rfind("SONARE_", 0) != 0 && s.rfind("DISPLAY=", 0) != 0 &&
            s.rfind("XDG_STATE_HOME=", 0) != 0 && s.rfind("LC_", 0) != 0 &&
            s.rfind("LANG=", 0) != 0 && s.rfind("HOME=", 0) != 0)
            ambiente.push_back(s);
    }
    ambiente.push_back("SONARE_WINDIR=" + (pasta / "win").string());
    // The run's folder is its home, so the paths it says ("~/estado/...") are the same in
    // every run.
    ambiente.push_back("HOME=" + pasta.string());
    ambiente.push_back("XDG_STATE_HOME=" + (pasta / "estado").string());
    ambiente.push_back("LOCALAPPDATA=" + (pasta / "estado").string());  // Windows' state folder
    std::vector<char*> envp, argv;
    for (auto& s : ambiente) envp.push_back(s.data());
    envp.push_back(nullptr);
    const char* outro = std::getenv("PLUMAR_ACEITACAO_BINARIO");
    const std::string binario = outro && *outro ? outro : PLUMAR_BINARIO;
    args.insert(args.begin(), binario);
    if (const char* emulador = std::getenv("PLUMAR_ACEITACAO_EMULADOR"))
        args.insert(args.begin(), emulador);
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t acoes;
    posix_spawn_file_actions_init(&acoes);
    posix_spawn_file_actions_addchdir_np(&acoes, pasta.c_str());
    posix_spawn_file_actions_addopen(&acoes, 0, "/dev/null", O_RDONLY, 0);
    pid_t pid;
    int erro = posix_spawnp(&pid, argv[0], &acoes, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&acoes);
    if (erro != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void confere(const fs::path& esperado, const fs::path& obtido, bool atualiza) {
    if (atualiza) {
        fs::copy_file(obtido, esperado, fs::copy_options::overwrite_existing);
        return;
    }
    if (!fs::exists(esperado)) return;
    EXPECT_EQ(leArquivo(obtido), leArquivo(esperado)) << "differs: " << esperado;
}

// ------------------------------------------------------------------ SONARE.INI by folders

using LinhasIni = std::vector<std::string>;  // each line with its own line end

LinhasIni linhasIni(std::string_view bytes) {
    LinhasIni linhas;
    for (size_t i = 0; i < bytes.size();) {
        const size_t fim = std::min(bytes.find('\n', i), bytes.size() - 1) + 1;
        linhas.emplace_back(bytes.substr(i, fim - i));
        i = fim;
    }
    return linhas;
}

std::optional<std::string_view> secaoIni(std::string_view l) {
    l = apara(l);
    if (l.size() < 2 || l.front() != '[' || l.back() != ']') return std::nullopt;
    return apara(l.substr(1, l.size() - 2));
}

// The key of a line KEY=VALUE, or of a line -KEY.
std::optional<std::string_view> chaveIni(std::string_view l) {
    l = apara(l);
    if (l.empty() || l.front() == ';') return std::nullopt;
    if (l.front() == '-') return apara(l.substr(1));
    const size_t igual = l.find('=');
    if (igual == std::string_view::npos) return std::nullopt;
    return apara(l.substr(0, igual));
}

// Line `linha` of an override (KEY=VALUE, or -KEY) merged into section `secao` of `base`.
void mesclaChave(LinhasIni& base, std::string_view secao, const std::string& linha) {
    const std::string_view chave = *chaveIni(linha);
    const bool remove = apara(linha).front() == '-';
    auto cabecalho = std::find_if(base.begin(), base.end(), [&](const std::string& l) {
        const auto s = secaoIni(l);
        return s && igualSemCaixa(*s, secao);
    });
    if (cabecalho == base.end()) {
        if (remove) return;
        if (!base.empty() && base.back().back() != '\n') base.back() += "\r\n";
        base.push_back("[" + std::string(secao) + "]\r\n");
        cabecalho = base.end() - 1;
    }
    const auto fim = std::find_if(cabecalho + 1, base.end(),
                                  [](const std::string& l) { return secaoIni(l).has_value(); });
    auto ultima = cabecalho;  // the section's last line that is not blank
    for (auto i = cabecalho + 1; i != fim; ++i) {
        if (const auto c = chaveIni(*i); c && igualSemCaixa(*c, chave)) {
            if (remove)
                base.erase(i);
            else
                *i = linha;
            return;
        }
        if (!apara(*i).empty()) ultima = i;
    }
    if (remove) return;
    if (ultima->back() != '\n') *ultima += "\r\n";
    base.insert(ultima + 1, linha);
}

// `base` with the override in `arquivo` merged over it; nothing when the run has no SONARE.INI.
std::optional<std::string> mesclaIni(const std::string& base, const fs::path& arquivo) {
    const std::string ajuste = leArquivo(arquivo);
    const LinhasIni linhas = linhasIni(ajuste);
    if (!linhas.empty() && apara(linhas.front()) == "-[*]") {
        if (linhas.size() == 1) return std::nullopt;
        return ajuste.substr(linhas.front().size());
    }
    LinhasIni resultado = linhasIni(base);
    std::string secao;
    for (const std::string& l : linhas) {
        const std::string_view texto = apara(l);
        if (const auto s = secaoIni(l))
            secao = *s;
        else if (!secao.empty() && chaveIni(l))
            mesclaChave(resultado, secao, l.back() == '\n' ? l : l + "\r\n");
        else
            EXPECT_TRUE(texto.empty() || texto.front() == ';')
                << arquivo << ": neither a key of a section nor a comment: " << texto;
    }
    std::string bytes;
    for (const std::string& l : resultado) bytes += l;
    return bytes;
}

// The SONARE.INI the case in `caso` starts with: the one at the top of `casos`, with the
// overrides of the folders down to the case merged over it.
std::optional<std::string> iniDoCaso(const fs::path& casos, const fs::path& caso) {
    std::optional<std::string> ini = leArquivo(casos / "SONARE.INI");
    fs::path pasta = casos;
    for (const fs::path& parte : caso.lexically_relative(casos)) {
        pasta /= parte;
        if (fs::exists(pasta / "SONARE.INI"))
            ini = mesclaIni(ini.value_or(""), pasta / "SONARE.INI");
    }
    return ini;
}

// ------------------------------------------------------------------ Windows' spellings

bool binarioWindows() {
    const char* emulador = std::getenv("PLUMAR_ACEITACAO_EMULADOR");
    const char* binario = std::getenv("PLUMAR_ACEITACAO_BINARIO");
    return (emulador && *emulador) || (binario && std::string_view(binario).ends_with(".exe"));
}

// Whether the case's normaliza.txt asks for the state folder said as Linux says it.
bool normalizaPastaEstado(const fs::path& caso) {
    bool pede = false;
    std::istringstream linhas(leArquivo(caso / "normaliza.txt"));  // none: nothing asked
    for (std::string linha; std::getline(linhas, linha);) {
        const std::string nome(apara(linha.substr(0, linha.find('#'))));
        if (nome.empty()) continue;
        EXPECT_EQ(nome, "pasta_estado") << caso / "normaliza.txt" << ": unknown normalisation";
        pede = true;
    }
    return pede;
}

// The run's trace or screen `arquivo` with the run's state folder said as Linux says it,
// where the case asks for it and a Windows build says it whole: an optional drive, then each
// part of the folder after a '/' or a '\'. Each line of a screen is padded back to its width.
void normaliza(const fs::path& arquivo, const fs::path& pasta, bool pedido, bool tela) {
    if (!pedido || !binarioWindows() || !fs::exists(arquivo)) return;
    std::string padrao = "([A-Za-z]:)?";
    const std::regex especial(R"([.^$|()\[\]{}*+?\\])");
    for (const fs::path& p : pasta / "estado" / "sonare")
        if (p != p.root_path())
            padrao += R"([/\\])" + std::regex_replace(p.string(), especial, R"(\$&)");
    const std::regex grafia(padrao);
    std::string resultado;
    std::istringstream linhas(leArquivo(arquivo));
    for (std::string linha; std::getline(linhas, linha);) {
        std::string nova = std::regex_replace(linha, grafia, "~/estado/sonare");
        if (tela) nova.append(linha.size() - nova.size(), ' ');
        resultado += nova + (linhas.eof() ? "" : "\n");
    }
    gravaArquivoTeste(arquivo, resultado);
}

fs::path pastaCasos() {
    return fs::path(PLUMAR_DIR_TESTES) / "acceptance" / "casos";
}

// Why the case `nome` is skipped in this run; nothing when it runs.
std::optional<std::string> motivoPulo(const std::string& nome) {
    const char* lista = std::getenv("PLUMAR_ACEITACAO_PULA");
    if (!lista) return std::nullopt;
    std::istringstream linhas(leArquivo(lista));
    for (std::string linha; std::getline(linhas, linha);) {
        linha = std::string(apara(linha.substr(0, linha.find('#'))));
        const size_t fim = linha.find_first_of(" \t");
        if (linha.substr(0, fim) == nome)
            return fim == std::string::npos ? std::string("(no reason given)")
                                            : std::string(apara(linha.substr(fim)));
    }
    return std::nullopt;
}

class Aceitacao : public ::testing::TestWithParam<std::string> {};

TEST_P(Aceitacao, RunMatchesExpectedTraceScreenAndFile) {
    if (const std::optional<std::string> motivo = motivoPulo(GetParam())) GTEST_SKIP() << *motivo;
    const fs::path caso = pastaCasos() / GetParam();
    // Named after the case alone: a Windows build says the state folder inside it whole.
    PastaTemporaria pasta("plumar", caso.filename().string());
    fs::create_directories(pasta / "win");
    if (const std::optional<std::string> ini = iniDoCaso(pastaCasos(), caso))
        gravaArquivoTeste(pasta / "win/SONARE.INI", *ini);
    if (fs::exists(caso / "texto.txt")) fs::copy_file(caso / "texto.txt", pasta / "texto.txt");
    // Other files the case opens lie in its folder "arquivos".
    if (fs::exists(caso / "arquivos"))
        fs::copy(caso / "arquivos", pasta.caminho(), fs::copy_options::recursive);
    // Files beside SONARE.INI (the math mode's COMANDOS/CONFIG) lie in its folder "win".
    if (fs::exists(caso / "win"))
        fs::copy(caso / "win", pasta / "win", fs::copy_options::recursive);
    std::vector<std::string> args = {"--keys=" + (caso / "teclas.txt").string(),
                                     "--trace=rastro.txt", "--screen-dump=tela.txt"};
    // A case may start with a text on the clipboard.
    if (fs::exists(caso / "clipboard.txt"))
        args.push_back("--clipboard=" + (caso / "clipboard.txt").string());
    std::vector<std::string> familia = {"texto.txt"};
    if (fs::exists(caso / "args.txt")) familia = palavras(leArquivo(caso / "args.txt"));
    args.insert(args.end(), familia.begin(), familia.end());

    ASSERT_EQ(roda(pasta.caminho(), args), 0);
    for (const std::string& a : familia) {
        if (!a.starts_with("--audio-out=")) continue;
        const std::vector<int16_t> som = analise::amostrasCapturadas(pasta / a.substr(12));
        const double taxa = AudioCaptura::kFormatoArquivo.taxa;
        EXPECT_FALSE(som.empty()) << "no sound recorded: " << a;
        for (const analise::Trecho& b : analise::buracos(som, AudioCaptura::kFormatoArquivo.taxa))
            ADD_FAILURE() << "a hole of " << 1000.0 * double(b.tamanho()) / taxa
                          << " ms in the speech at " << double(b.inicio) / taxa << " s";
    }
    const bool atualiza = std::getenv("PLUMAR_ATUALIZA_ACEITACAO") != nullptr;
    const bool normalizar = normalizaPastaEstado(caso);
    normaliza(pasta / "rastro.txt", pasta.caminho(), normalizar, false);
    normaliza(pasta / "tela.txt", pasta.caminho(), normalizar, true);
    // Each expected file against the file the run left; an update writes those the run made,
    // except SONARE.esperado, which only the cases that change the configuration have.
    const std::pair<std::string_view, const char*> comparados[] = {
        {"rastro.esperado", "rastro.txt"}, {"tela.esperada", "tela.txt"}, {"texto.esperado", "texto.txt"},
        {"codigo.esperado", "win/COMANDOS/CONFIG/codigo.txt"},
        {"resultados.esperado", "win/COMANDOS/CONFIG/resultados.txt"}, {"SONARE.esperado", "win/SONARE.INI"}};
    for (const auto& [esperado, obtido] : comparados)
        if (fs::exists(caso / esperado) ||
            (atualiza && esperado != "SONARE.esperado" && fs::exists(pasta / obtido)))
            confere(caso / esperado, pasta / obtido, atualiza);
    if (fs::exists(caso / "reinicio.txt")) {
        args[0] = "--keys=" + (caso / "reinicio.txt").string();
        args[1] = "--trace=rastro2.txt";
        ASSERT_EQ(roda(pasta.caminho(), args), 0);
        normaliza(pasta / "rastro2.txt", pasta.caminho(), normalizar, false);
        confere(caso / "rastro2.esperado", pasta / "rastro2.txt", atualiza);
    }
    if (fs::exists(caso / "gravados"))
        for (const auto& a : fs::recursive_directory_iterator(caso / "gravados"))
            if (a.is_regular_file()) {
                const fs::path obtido = pasta / a.path().lexically_relative(caso / "gravados");
                ASSERT_TRUE(fs::exists(obtido)) << obtido;
                confere(a.path(), obtido, atualiza);
            }
}

// The cases: the folders under casos/ that hold a teclas.txt, by their path from there.
std::vector<std::string> casos() {
    std::vector<std::string> caminhos;
    for (auto e = fs::recursive_directory_iterator(pastaCasos());
         e != fs::recursive_directory_iterator(); ++e) {
        if (!e->is_directory() || !fs::exists(e->path() / "teclas.txt")) continue;
        caminhos.push_back(e->path().lexically_relative(pastaCasos()).string());
        e.disable_recursion_pending();  // a case's own folders hold its files
    }
    std::sort(caminhos.begin(), caminhos.end());
    return caminhos;
}

// A case is named by its own folder: the names are unique, whatever group holds them.
INSTANTIATE_TEST_SUITE_P(Casos, Aceitacao, ::testing::ValuesIn(casos()),
                         [](const auto& info) { return fs::path(info.param).filename().string(); });

}  // namespace
