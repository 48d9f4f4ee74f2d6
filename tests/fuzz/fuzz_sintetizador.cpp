// Fuzz entry for the built-in synthesizer's configuration: the input is a SONARE.INI, then
// (NUL-separated) a voice bank name. Both folders it names are folder paths ending in '/';
// a missing key gives the family root's own folder; the bank name is kept; and opening
// with what was read never crashes: with no bank there, it reports the missing voice.
#include <fstream>

#include "fuzz.h"
#include "platform/ini.h"
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

}  // namespace

int fuzzSintetizador(const uint8_t* dados, size_t tamanho) {
    std::string_view resto(reinterpret_cast<const char*>(dados), tamanho);
    const std::string_view textoIni = proximaParte(resto);
    const std::string_view banco = proximaParte(resto);
    const fs::path pasta = temporarioDoFuzz("sintetizador");
    const fs::path raiz = pasta / "raiz", ini = pasta / "SONARE.INI";
    std::error_code ec;
    fs::create_directories(raiz / "som" / "letras", ec);
    fs::create_directories(raiz / "som" / "difones", ec);
    std::ofstream(ini, std::ios::binary | std::ios::trunc) << textoIni;
    const VariavelDoFuzz ambiente("SONARE_ROOT", raiz);

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
    fs::remove_all(pasta, ec);
    return 0;
}
