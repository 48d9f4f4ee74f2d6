#include "speech/tocadorOnda.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

#include "console/SnCrt.h"
#include "speech/leituraOnda.h"

namespace {

constexpr size_t kBlocoMinimo = 256;        // shorter blocks are padded with silence
constexpr int kEsperasBlocoCheio = 40;      // 50 ms each: a ring that stays full drops the block
constexpr int kTentativasAbertura = 100;    // 100 ms apart, while the device is busy
constexpr uint64_t kFolgaTravadoMs = 2000;  // past the expected end: the device is stuck

void poe16(std::span<uint8_t> d, size_t p, uint32_t v) {
    for (size_t i = 0; i < 2; ++i) d[p + i] = static_cast<uint8_t>(v >> (8 * i));
}
void poe32(std::span<uint8_t> d, size_t p, uint32_t v) {
    for (size_t i = 0; i < 4; ++i) d[p + i] = static_cast<uint8_t>(v >> (8 * i));
}

// The largest piece of whole sample frames that fits in one buffer.
size_t pedacoMaximo(size_t quadro) {
    return TocadorOnda::kTamanhoBuffer - TocadorOnda::kTamanhoBuffer % quadro;
}

std::string_view textoErroDevolucao(int erro) {
    switch (erro) {
        case erroAudio::kHandleInvalido:
            return "Specified device handle is invalid.";
        case erroAudio::kSemDriver:
            return "No device driver is present.";
        case erroAudio::kSemMemoria:
            return "Unable to allocate or lock memory.";
        case erroAudio::kAindaNaFila:
            return "The data block pointed to by the pwh parameter is still in queue";
        default:
            return "";
    }
}

}  // namespace

size_t comprimeTrecho(std::span<uint8_t> trecho, int bits, int taxa) {
    size_t n = trecho.size();
    if (bits == 16) {
        // The high byte with its sign bit inverted is the 8-bit unsigned sample.
        n /= 2;
        for (size_t i = 0; i < n; ++i) trecho[i] = trecho[2 * i + 1] ^ 0x80;
    } else if (bits != 8) {
        return trecho.size();
    }
    if (n < 1000) return n;

    const bool taxaBaixa = taxa == 11025;
    const size_t inicio = taxaBaixa ? 200 : 800;
    const size_t intervalo = taxaBaixa ? 80 : 320;
    const size_t janela = taxaBaixa ? 50 : 200;
    const auto a = trecho.begin();
    // First largest sample of positions de..ate, kept inside the piece.
    auto pico = [&](size_t de, size_t ate) -> size_t {
        ate = std::min(ate, n - 1);
        return static_cast<size_t>(std::max_element(a + static_cast<std::ptrdiff_t>(de),
                                                    a + static_cast<std::ptrdiff_t>(ate) + 1) -
                                   a);
    };

    size_t p = pico(inicio, inicio + intervalo + janela);
    size_t w = p;
    // Keep one pitch period (peak to peak), drop the one before it.
    while (n > p + 2 * (intervalo + janela)) {
        const size_t q1 = pico(p + intervalo, p + intervalo + janela);
        const size_t q2 = pico(q1 + intervalo, q1 + intervalo + janela);
        std::copy(a + static_cast<std::ptrdiff_t>(q1), a + static_cast<std::ptrdiff_t>(q2) + 1,
                  a + static_cast<std::ptrdiff_t>(w));
        w += q2 - q1 + 1;
        p = q2;
    }
    // The rest, shorter than two rounds, is kept: the piece ends where its sound ends (in
    // silence when the sound does) and runs on into the next piece without a break.
    std::copy(a + static_cast<std::ptrdiff_t>(p), a + static_cast<std::ptrdiff_t>(n),
              a + static_cast<std::ptrdiff_t>(w));
    return w + (n - p);
}

TocadorOnda::TocadorOnda(SnCrt& crt, DispositivoAudio& audio)
    : crt_(crt), audio_(audio), leitura_(kTamanhoBuffer), trabalho_(kTamanhoBuffer) {
    for (auto& buffer : anel_) buffer.assign(kTamanhoBuffer, 0);
}

TocadorOnda::~TocadorOnda() {
    if (!audio_.aberto()) return;
    audio_.reinicia();
    audio_.fecha();
}

void TocadorOnda::preencheCabecalho(std::span<uint8_t, kTamanhoCabecalho> c, uint32_t tamanhoDados,
                                    int taxa, int canais, int bits) {
    const uint32_t t = static_cast<uint32_t>(std::max(taxa, 0));
    const uint32_t quadro = static_cast<uint32_t>(std::max(canais, 0) * std::max(bits, 0) / 8);
    std::memcpy(c.data(), "RIFF", 4);
    poe32(c, 4, tamanhoDados > UINT32_MAX - 36 ? UINT32_MAX : tamanhoDados + 36);
    std::memcpy(c.data() + 8, "WAVEfmt ", 8);
    poe32(c, 16, 16);
    poe16(c, 20, 1);
    poe16(c, 22, static_cast<uint32_t>(std::max(canais, 0)));
    poe32(c, 24, t);
    poe32(c, 28, t * quadro);
    poe16(c, 32, quadro);
    poe16(c, 34, static_cast<uint32_t>(std::max(bits, 0)));
    std::memcpy(c.data() + 36, "data", 4);
    poe32(c, 40, tamanhoDados);
}

int TocadorOnda::tocaArquivo(const std::filesystem::path& arquivo) {
    if (interrompivel && crt_.teclaPressionada()) return 0;
    std::ifstream entrada(arquivo, std::ios::binary);
    if (!entrada) return kErroArquivo;
    const std::optional<DadosOnda> onda = procuraDadosOnda(entrada);
    if (!onda) return kErroArquivo;
    const int erro = tocaPedacos(entrada, onda->tamanho, onda->formato);
    entrada.close();
    if (!assincrono) esperaFim();
    return erro;
}

int TocadorOnda::tocaArquivoSegundaVoz(const std::filesystem::path& arquivo, Modo modo) {
    std::ifstream entrada(arquivo, std::ios::binary);
    if (!entrada) return kErroArquivo;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(entrada)), std::istreambuf_iterator<char>());
    OndaPcm onda;
    if (!leOndaPcm(bytes, onda) || !formatoSuportado(onda.formato) || onda.dados.empty())
        return kErroArquivo;
    const uint64_t porSegundo = static_cast<uint64_t>(onda.formato.taxa) *
                                static_cast<uint64_t>(onda.formato.bytesPorAmostra());
    const auto ms = static_cast<int>(onda.dados.size() * 1000 / std::max<uint64_t>(porSegundo, 1));
    audio_.tocaSom(std::move(bytes), modo == Modo::Repetindo);
    if (modo == Modo::Sincrono) crt_.Delay(ms);
    return 0;
}

// Streams the data chunk through the read buffer. A remainder just over one buffer is split
// so that the last piece is not shorter than a block: a short block mid-file would be
// padded with silence and heard as a gap.
int TocadorOnda::tocaPedacos(std::istream& entrada, uint64_t tamanho, const FormatoAudio& gravado) {
    const size_t quadro = static_cast<size_t>(gravado.bytesPorAmostra());
    const size_t maximo = pedacoMaximo(quadro);
    const size_t reduzido = (maximo - kBlocoMinimo) / quadro * quadro;
    for (uint64_t resto = tamanho; resto > 0;) {
        if (interrompivel && crt_.teclaPressionada()) {
            para();
            return 0;
        }
        const bool quaseCheio = resto > maximo && resto < maximo + kBlocoMinimo;
        const size_t pedaco =
            quaseCheio ? reduzido : static_cast<size_t>(std::min<uint64_t>(resto, maximo));
        entrada.read(reinterpret_cast<char*>(leitura_.data()),
                     static_cast<std::streamsize>(pedaco));
        const size_t lidos = static_cast<size_t>(entrada.gcount());
        if (lidos == 0) return 0;
        const Alimentacao a =
            alimenta(std::span(leitura_).first(lidos), gravado, lidos < pedaco || lidos == resto);
        if (a.erro != 0 || a.parou || lidos < pedaco) return a.erro;
        resto -= pedaco;
    }
    return 0;
}

void TocadorOnda::tocaMemoria(std::span<const uint8_t> onda, bool continua) {
    const std::optional<DadosOnda> dados = procuraDadosOnda(onda);
    if (dados) alimenta(amostrasOnda(onda, *dados), dados->formato, !continua);
}

int TocadorOnda::tocaPcm(std::span<const uint8_t> dados, int taxa, int canais, int bits) {
    const FormatoAudio formato{canais, taxa, bits};
    if (!formatoOndaValido(formato)) return kErroArquivo;
    return alimenta(dados, formato, true).erro;
}

// Queues the samples block by block; `terminaSom` when the sound ends with them.
TocadorOnda::Alimentacao TocadorOnda::alimenta(std::span<const uint8_t> dados,
                                               const FormatoAudio& gravado, bool terminaSom) {
    const size_t quadro = static_cast<size_t>(gravado.bytesPorAmostra());
    dados = dados.first(dados.size() - dados.size() % quadro);  // whole frames only
    const bool comprime = comprimeTempo && gravado.canais == 1;
    FormatoAudio saida = gravado;
    if (acelerado) saida.taxa = static_cast<int>(std::lround(gravado.taxa * 1.5));
    if (comprime) saida.bits = 8;  // compression turns 16-bit samples into 8-bit ones
    if (const int erro = defineFormato(saida); erro != 0) return {erro, true};

    const size_t maximo = pedacoMaximo(quadro);
    while (!dados.empty()) {
        if (!esperaVaga()) {
            para();
            return {0, true};
        }
        const std::span<const uint8_t> pedaco = dados.first(std::min(maximo, dados.size()));
        dados = dados.subspan(pedaco.size());
        std::span<const uint8_t> bloco = pedaco;
        if (comprime) {
            std::copy(pedaco.begin(), pedaco.end(), trabalho_.begin());
            bloco = std::span(trabalho_).first(comprimeTrecho(
                std::span(trabalho_).first(pedaco.size()), gravado.bits, gravado.taxa));
        }
        // A device that stopped draining would cost two seconds per block: give up the sound.
        if (!escreveBloco(bloco, terminaSom && dados.empty())) {
            para();
            return {0, true};
        }
    }
    return {};
}

int TocadorOnda::defineFormato(const FormatoAudio& formato) {
    if (!(formato == formato_)) {
        esperaFim();
        para();
        formato_ = formato;
    }
    return audio_.aberto() ? 0 : abreDispositivo();
}

int TocadorOnda::abreDispositivo() {
    for (int tentativa = 1;; ++tentativa) {
        if (audio_.abre(formato_)) {
            naFila_ = 0;
            fimPrevisto_ = crt_.agoraMs();
            return 0;
        }
        int erro = audio_.erroAbertura();
        if (erro == 0) erro = erroAudio::kSemDriver;  // failed without saying why
        if (erro != erroAudio::kOcupado || tentativa >= kTentativasAbertura) return erro;
        crt_.Delay(100);
    }
}

// Waits while the ring is full; false when a waiting key asks to stop.
bool TocadorOnda::esperaVaga() {
    observaFila();
    while (naFila_ >= kBuffers) {
        if (interrompivel && crt_.teclaPressionada()) return false;
        if (travado()) break;  // the block writer then gives up after its own wait
        espera10ms();
        observaFila();
    }
    return true;
}

// Copies one block into the next ring buffer and queues it; false when the ring stayed
// full for two seconds and the block was dropped. `ultimo` when the sound ends with it.
bool TocadorOnda::escreveBloco(std::span<const uint8_t> dados, bool ultimo) {
    observaFila();
    for (int i = 0; naFila_ >= kBuffers && i < kEsperasBlocoCheio; ++i) {
        crt_.Delay(50);
        observaFila();
    }
    if (naFila_ >= kBuffers) return false;
    ++naFila_;
    indiceAnel_ = (indiceAnel_ + 1) % kBuffers;
    std::vector<uint8_t>& buffer = anel_[static_cast<size_t>(indiceAnel_)];

    const size_t n = std::min(dados.size(), buffer.size());
    const size_t quadro = static_cast<size_t>(formato_.bytesPorAmostra());
    const size_t minimo = (kBlocoMinimo + quadro - 1) / quadro * quadro;
    size_t tamanho = n;
    if (n < minimo && ultimo) {
        // Pad with silence, never with what the buffer held before; a block that more of
        // the sound follows is not padded, or the silence would break the sound.
        std::fill_n(buffer.begin(), minimo, formato_.bits == 8 ? 128 : 0);
        tamanho = minimo;
    }
    std::copy_n(dados.begin(), n, buffer.begin());
    // An 8-bit mono block that ends the sound ends on silence, so it stops without a click;
    // a block that more of the sound follows reaches the device as it is.
    if (ultimo && formato_.bits == 8 && formato_.canais == 1 && n != kTamanhoBuffer)
        buffer[tamanho - 1] = 128;
    audio_.escreve(std::span(buffer).first(tamanho));

    const uint64_t duracao = tamanho * 1000 / (static_cast<uint64_t>(formato_.taxa) * quadro);
    fimPrevisto_ = std::max(fimPrevisto_, crt_.agoraMs()) + duracao;
    return true;
}

// The device's queued count falling stands for buffers handed back after playing.
void TocadorOnda::observaFila() {
    const int fila = std::clamp(audio_.blocosNaFila(), 0, kBuffers);
    if (fila >= naFila_) return;
    naFila_ = fila;
    if (const int erro = audio_.erroDevolucao(); erro != 0) mostraErroDevolucao(erro);
}

void TocadorOnda::mostraErroDevolucao(int erro) {
    if (const std::string_view texto = textoErroDevolucao(erro); !texto.empty()) {
        crt_.escreve(texto);
        crt_.escreve("\r\n");
    }
    for (;;) {
        const uint8_t c = crt_.leTecla();
        if (c == 13) break;
        if (c == 0) crt_.leTecla();  // an extended key's scan code is not Enter
    }
}

// Queued sound that should long have ended: the device is not draining.
bool TocadorOnda::travado() {
    return naFila_ > 0 && crt_.agoraMs() > fimPrevisto_ + kFolgaTravadoMs;
}

bool TocadorOnda::tocando() {
    const bool tecla = crt_.teclaPressionada();  // also pumps the front-end
    observaFila();
    if ((interrompivel && tecla) || naFila_ == 0 || travado()) para();
    return naFila_ > 0;
}

void TocadorOnda::esperaFim() {
    while (tocando()) espera10ms();
}

// A key ends the wait only when it may stop the sound: an uninterruptible sound with a key
// waiting sleeps its slice, or the wait would spin without the clock moving.
void TocadorOnda::espera10ms() {
    if (interrompivel)
        crt_.esperaTecla(10);
    else
        crt_.Delay(10);
}

void TocadorOnda::para() {
    naFila_ = 0;
    if (!audio_.aberto()) return;
    if (audio_.blocosNaFila() > 0) audio_.reinicia();
    crt_.teclaPressionada();
    audio_.fecha();
    audio_.erroDevolucao();  // blocks cut short on purpose: nothing to report
    crt_.teclaPressionada();
}
