// Fuzz entry for the INI reader and writer and the built-in synthesizer's configuration read
// through them: the input is a SONARE.INI, then (after its last NUL byte) a voice bank name.
// Every key the INI holds reads back within the limits, and a key written (section, key and
// value taken from the INI's first line) reads back as written while a key of another
// section keeps its value. Both folders the configuration names are folder paths ending in
// '/'; a missing key gives the family root's own folder; the bank name is kept; and opening
// with what was read never crashes: with no bank there, it reports the missing voice.
#include "fuzz.h"
#include "platform/ini.h"
#include "platform/texto.h"
#include "speech/sintetizador.h"

namespace fs = std::filesystem;

namespace {

void confereDiretorio(const fs::path& dir, const fs::path& ini, std::string_view chave,
                      const fs::path& padrao) {
    confirma(!dir.empty() && dir.string().back() == '/');
    // A key that is missing reads as its default, never as an empty folder.
    const bool falta = leIniArquivo(ini, "TRADUTOR", chave, "a") == "a" &&
                       leIniArquivo(ini, "TRADUTOR", chave, "b") == "b";
    if (falta) confirma(dir == padrao);
}

// Only the characters a name or value can round-trip with: no line ends, no '=', ']' or
// ';' in names, no blanks at either end, no quotes around.
std::string limpo(std::string_view s, bool nome) {
    std::string r;
    for (char c : s) {
        if (c == '\r' || c == '\n' || c == '\0' || c == '"' || c == '\'') continue;
        if (nome && (c == '=' || c == ']' || c == '[' || c == ';')) continue;
        r += c;
    }
    // Cut first, then trimmed: the reader trims what it reads, so a blank left at the cut
    // would not read back.
    return std::string(apara(std::string_view(r).substr(0, nome ? 40 : kMaxValorIni)));
}

// The key the INI's first line names ("section|key|value") written into it.
void confereEscrita(const fs::path& arquivo, std::string_view textoIni) {
    const std::string_view primeira = textoIni.substr(0, textoIni.find('\n'));
    const size_t a = primeira.find('|'), b = primeira.find('|', a == primeira.npos ? a : a + 1);
    std::string secao = "S", chave = "K", valor = "v";
    if (a != primeira.npos && b != primeira.npos) {
        secao = limpo(primeira.substr(0, a), true);
        chave = limpo(primeira.substr(a + 1, b - a - 1), true);
        valor = limpo(primeira.substr(b + 1), false);
    }
    if (secao.empty()) secao = "S";
    if (chave.empty()) chave = "K";

    const std::string outra = leIniArquivo(arquivo, "OUTRA", "X", "padrao");
    confirma(outra.size() <= kMaxValorIni);
    const std::string antes = leIniArquivo(arquivo, secao, chave);
    confirma(antes.size() <= kMaxValorIni);
    if (escreveIniArquivo(arquivo, secao, chave, valor)) {
        confirma(leIniArquivo(arquivo, secao, chave) == valor);
        if (!igualSemCaixa(apara(secao), "OUTRA"))
            confirma(leIniArquivo(arquivo, "OUTRA", "X", "padrao") == outra);
    }
}

}  // namespace

int fuzzSintetizador(const uint8_t* dados, size_t tamanho) {
    const std::string_view entrada(reinterpret_cast<const char*>(dados), tamanho);
    const size_t nul = entrada.rfind('\0');
    const std::string_view textoIni = entrada.substr(0, nul);
    const std::string_view banco = nul == entrada.npos ? "" : entrada.substr(nul + 1);
    const fs::path pasta = temporarioDoFuzz("sintetizador");
    const fs::path raiz = pasta / "raiz", ini = pasta / "SONARE.INI";
    std::error_code ec;
    fs::create_directories(raiz / "som" / "letras", ec);
    fs::create_directories(raiz / "som" / "difones", ec);
    gravaArquivoTeste(ini, textoIni);
    const Variavel ambiente("SONARE_ROOT", raiz.string());

    const ConfiguracaoSintetizador config = leConfiguracaoSintetizador(ini, banco);
    confirma(config.banco == banco);
    confereDiretorio(config.dirLetras, ini, "dirLetras", raiz / "som/letras/");
    confereDiretorio(config.dirDifones, ini, "DIRDIFONES", raiz / "som/difones/");
    // Opened only where the folders are the fuzz's own: no bank is there.
    if (dentroDe(config.dirLetras, raiz) && dentroDe(config.dirDifones, raiz)) {
        Sintetizador s(SaidaSom{});
        const int aberto = s.abre(config);
        confirma(aberto == kSemArquivosDeVoz && !s.aberto());
    }
    confereEscrita(ini, textoIni);
    fs::remove_all(pasta, ec);
    return 0;
}
