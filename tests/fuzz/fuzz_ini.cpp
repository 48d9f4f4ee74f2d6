// Fuzz entry for the INI reader and writer: the input is a SONARE.INI; every key it holds
// reads back within the limits, and a key written (section, key and value taken from the
// input's first line) reads back as written while a key of another section keeps its value.
#include <fstream>

#include "fuzz.h"
#include "platform/ini.h"
#include "platform/texto.h"

namespace {

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

}  // namespace

int fuzzIni(const uint8_t* dados, size_t tamanho) {
    const std::string_view entrada(reinterpret_cast<const char*>(dados), tamanho);
    // In memory where the system has such a folder: every write is flushed to its disk.
    std::error_code ec;
    const std::filesystem::path pasta = std::filesystem::is_directory("/dev/shm", ec)
                                            ? std::filesystem::path("/dev/shm")
                                            : std::filesystem::temp_directory_path();
    const std::filesystem::path arquivo = pasta / ("plumar_fuzz_ini_" + std::to_string(getpid()));
    std::ofstream(arquivo, std::ios::binary | std::ios::trunc) << entrada;

    // The first line names what is written: "section|key|value".
    const std::string_view primeira = entrada.substr(0, entrada.find('\n'));
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
    std::filesystem::remove(arquivo, ec);
    return 0;
}
