// Measures of what a listener hears in recorded sound, shared by tests and benches: holes
// (digital silence dropped into the middle of speech) in a 16-bit capture, and the capture
// of a reading as --audio-out makes it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "console/SnCrt.h"
#include "platform/audio.h"
#include "platform/frontEnds.h"
#include "platform/roteiroTeclas.h"
#include "speech/fala.h"

namespace analise {

// A run of samples, [inicio, fim).
struct Trecho {
    size_t inicio = 0;
    size_t fim = 0;
    size_t tamanho() const { return fim - inicio; }
};

// -30 dBFS: a sample this loud is speech, not the tail of a fade.
constexpr int kNivelFala = 1036;
// -40 dBFS: a sample next to digital silence at least this loud means the sound was cut
// there, mid-waveform; a sound that ends or starts of itself fades through smaller ones.
constexpr int kNivelCorte = 328;

// Runs of digital silence (exact zeros) from 1 to 50 ms inside speech: loud sound within
// 5 ms on both sides, and cut abruptly on at least one. A pause a voice makes (a stop's
// closure, the silence between words) fades in and out and is not counted; a longer one
// is a pause whatever its edges.
inline std::vector<Trecho> buracos(std::span<const int16_t> s, int taxa) {
    const size_t minimo = static_cast<size_t>(taxa / 1000);
    const size_t maximo = 50 * minimo;
    const size_t vizinhanca = static_cast<size_t>(taxa / 200);
    auto alto = [&](size_t de, size_t ate, int nivel) {
        for (size_t i = de; i < ate; ++i)
            if (std::abs(static_cast<int>(s[i])) >= nivel) return true;
        return false;
    };
    std::vector<Trecho> achados;
    for (size_t i = 0; i < s.size();) {
        if (s[i] != 0) {
            ++i;
            continue;
        }
        size_t fim = i;
        while (fim < s.size() && s[fim] == 0) ++fim;
        const Trecho t{i, fim};
        i = fim;
        if (t.tamanho() < minimo || t.tamanho() > maximo || t.inicio == 0 || t.fim == s.size())
            continue;
        const bool falaAntes = alto(t.inicio - std::min(t.inicio, vizinhanca), t.inicio, kNivelFala);
        const bool falaDepois = alto(t.fim, std::min(s.size(), t.fim + vizinhanca), kNivelFala);
        const bool cortado = std::abs(static_cast<int>(s[t.inicio - 1])) >= kNivelCorte ||
                             std::abs(static_cast<int>(s[t.fim])) >= kNivelCorte;
        if (falaAntes && falaDepois && cortado) achados.push_back(t);
    }
    return achados;
}

// The samples of a capture as --audio-out writes it (16-bit mono WAV at
// AudioCaptura::kFormatoArquivo's rate); empty when the file is not one.
inline std::vector<int16_t> amostrasCapturadas(const std::filesystem::path& wav) {
    std::ifstream f(wav, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(f), {}};
    OndaPcm onda;
    std::vector<int16_t> s;
    if (!leOndaPcm(bytes, onda) || onda.formato != AudioCaptura::kFormatoArquivo) return s;
    for (size_t i = 0; i + 1 < onda.dados.size(); i += 2)
        s.push_back(static_cast<int16_t>(onda.dados[i] | (onda.dados[i + 1] << 8)));
    return s;
}

// `textos` (Windows-1252) read by the speech front end at speed level `nivel` as --audio-out
// records them: through the wave player into the capture, on a headless console's virtual
// clock, with the SONARE.INI `ini` and the prompts in `dirPlumar`. The recording's samples.
inline std::vector<int16_t> leituraCapturada(const std::filesystem::path& wav,
                                             const std::filesystem::path& ini, int nivel,
                                             const std::string& dirPlumar,
                                             std::span<const std::string> textos) {
    {
        OpcoesCaptura oc;
        oc.arquivo = wav.string();
        oc.guardaBlocos = false;
        AudioCaptura captura(oc);
        SnCrt crt(criaFrontEndHeadless({}), captura, ini);
        captura.defineTempoReal(true, [&crt] { return crt.agoraMs(); });
        Fala fala(crt, captura);
        fala.avisaFaltaVoz = false;
        fala.inicializaFala(nivel, dirPlumar);
        for (const std::string& t : textos) fala.falaTexto(t);
        fala.terminaFala();
    }
    return amostrasCapturadas(wav);
}

}  // namespace analise
