// Fuzz entry for the file loader: the input is a text file. Read in uneven pieces it gives
// the same lines as read whole; every line is at most 180 characters without control
// codes; lines that no rule splits are saved and read back as they were; and a file taken
// as UTF-8 is written back byte for byte, its characters Windows-1252 lacks and all.
#include "fuzz.h"
#include "../editor/decodificacaoPedacos.h"
#include "editor/edArqCodif.h"
#include "editor/edArqDisco.h"

// Decoded, the text holds no byte a file could not give back; encoded again, it is the
// file (its control codes, which the reading rules make '#', aside).
void confereUtf8(std::string_view bytes) {
    CodificacaoArquivo cod;
    const std::optional<std::string> texto = decodificaUtf8(bytes, cod);
    if (!texto) return;
    confirma(cod.utf8 && cod.estranhos.size() <= 26);
    if (cod.bom) bytes.remove_prefix(3);
    bool controles = false;
    for (char c : bytes)
        controles = controles || (static_cast<uint8_t>(c) < 32 && c != '\t' && c != '\r' && c != '\n');
    for (char c : *texto)
        confirma(static_cast<uint8_t>(c) >= 32 || c == '\t' || c == '\r' || c == '\n' ||
                 ehMarca(cod, static_cast<uint8_t>(c)));
    if (!controles) confirma(cod.codificaLinha(*texto) == bytes);
}

// The same for UTF-16 after its byte-order mark: what is decoded is written back as the
// file was (its control codes aside).
void confereUtf16(std::string_view bytes) {
    CodificacaoArquivo cod;
    const std::optional<std::string> texto = decodificaTexto(bytes, cod);
    if (!texto || !cod.utf16) return;
    confirma(cod.utf8 && cod.bom && cod.estranhos.size() <= 26);
    bool controles = false;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const uint8_t baixo = static_cast<uint8_t>(bytes[cod.bigEndian ? i + 1 : i]);
        const uint8_t alto = static_cast<uint8_t>(bytes[cod.bigEndian ? i : i + 1]);
        const bool branco = baixo == '\t' || baixo == '\r' || baixo == '\n';
        controles = controles || (alto == 0 && baixo < 32 && !branco);
    }
    if (!controles) confirma(std::string(cod.marcaInicio()) + cod.codificaLinha(*texto) == bytes);
}

// Decoded in uneven pieces, into lines as a load makes them: what the whole gives.
void confereUtf8EmPedacos(std::string_view bytes) {
    const Decodificada inteira = decodificaEmPedacos(bytes, bytes.size()),
                      pedacos = decodificaEmPedacos(bytes, 1);
    confirma(pedacos.fim == inteira.fim && pedacos.cod.utf8 == inteira.cod.utf8 &&
             pedacos.cod.utf8Recusado == inteira.cod.utf8Recusado &&
             pedacos.cod.estranhos == inteira.cod.estranhos);
    if (inteira.fim != DecodificadorUtf8::Fim::Reler) confirma(pedacos.linhas == inteira.linhas);
}

int fuzzArquivo(const uint8_t* dados, size_t tamanho) {
    const std::string_view bytes(reinterpret_cast<const char*>(dados), tamanho);
    confereUtf8(bytes);
    confereUtf16(bytes);
    confereUtf8EmPedacos(bytes);
    bool dividiu = false;
    const std::vector<std::string> inteiras = separaLinhas(bytes, dividiu);

    std::vector<std::string> pedacos;
    LeitorLinhas leitor([&pedacos](std::string_view l) { pedacos.emplace_back(l); });
    for (size_t de = 0, n = 1; de < bytes.size(); de += n, n = n * 7 % 13 + 1)
        leitor.alimenta(bytes.substr(de, n));
    leitor.termina();
    confirma(pedacos == inteiras && leitor.dividiu() == dividiu);

    bool curtas = true;
    for (const std::string& l : inteiras) {
        confirma(l.size() <= 180);
        for (char c : l) confirma(static_cast<uint8_t>(c) >= 32);
        curtas = curtas && l.size() <= 160;
    }
    if (!curtas) return 0;
    // As a save writes them: the empty lines at the end left out, each line with CR LF.
    std::vector<std::string> esperadas = inteiras;
    while (!esperadas.empty() && esperadas.back().empty()) esperadas.pop_back();
    std::string gravado;
    for (const std::string& l : esperadas) gravado += l + "\r\n";
    bool dividiuDeNovo = false;
    confirma(separaLinhas(gravado, dividiuDeNovo) == esperadas && !dividiuDeNovo);
    return 0;
}
