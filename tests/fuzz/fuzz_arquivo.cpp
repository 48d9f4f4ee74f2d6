// Fuzz entry for the file loader: the input is a text file. Read in uneven pieces it gives
// the same lines as read whole; every line is at most 180 characters without control
// codes; lines that no rule splits are saved and read back as they were; and a file taken
// as UTF-8 or UTF-16 is written back byte for byte, its characters Windows-1252 lacks and all.
// Read as an RTF document, only a file that begins as RTF gives a text, never longer than
// the file (no control word gives more than it takes), with no control code but tab and CR
// LF pairs.
#include "fuzz.h"
#include "../editor/decodificacaoPedacos.h"
#include "editor/edArqCodif.h"
#include "editor/edArqDisco.h"
#include "platform/leituraRtf.h"

// Decoded (UTF-8, or UTF-16 after its byte-order mark), the text holds no byte a file could
// not give back; encoded again after its mark, it is the file (its control codes, which the
// reading rules make '#', aside).
void confereDecodificado(std::string_view bytes) {
    CodificacaoArquivo cod;
    const std::optional<std::string> texto = decodificaTexto(bytes, cod);
    if (!texto) return;
    confirma(cod.utf8 && cod.estranhos.size() <= 26 && (cod.bom || !cod.utf16));
    // The file's code units, one byte each in UTF-8 and two in UTF-16.
    const size_t largura = cod.utf16 ? 2 : 1;
    bool controles = false;
    for (size_t i = cod.marcaInicio().size(); i + largura <= bytes.size(); i += largura) {
        const uint8_t baixo = static_cast<uint8_t>(bytes[cod.bigEndian ? i + 1 : i]);
        const bool alto = cod.utf16 && bytes[cod.bigEndian ? i : i + 1] != 0;
        controles = controles || (!alto && ehControle(baixo));
    }
    for (char c : *texto) {
        const uint8_t b = static_cast<uint8_t>(c);
        confirma(!ehControle(b) || ehMarca(cod, b));
    }
    if (!controles) confirma(std::string(cod.marcaInicio()) + cod.codificaLinha(*texto) == bytes);
}

void confereRtf(std::string_view entrada) {
    const std::optional<std::string> texto = textoDeRtf(entrada);
    confirma(texto.has_value() == entrada.starts_with("{\\rtf"));
    if (!texto) return;
    confirma(texto->size() <= entrada.size());
    for (size_t i = 0; i < texto->size(); ++i) {
        const char c = (*texto)[i];
        if (c == '\r') confirma(i + 1 < texto->size() && (*texto)[i + 1] == '\n');
        if (c == '\n') confirma(i > 0 && (*texto)[i - 1] == '\r');
        confirma(!ehControle(static_cast<uint8_t>(c)));
    }
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
    confereDecodificado(bytes);
    confereRtf(bytes);
    confereUtf8EmPedacos(bytes);
    bool dividiu = false;
    const std::vector<std::string> inteiras = separaLinhas(bytes, dividiu);
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
