// Search and reflow in long texts. A 1,000,000-line text (about 64 MB, loaded as a file is:
// the lines in one shared block) is searched for a word it does not hold with the search
// again command, beside a plain memmem of the same word over the same line bytes and over
// one contiguous copy of them, in the same run; the memory the search allocates is counted.
// Then a 10,000-line block of paragraphs is filled to the margins, and filled and justified.
//
// Targets: the search within 5 x the plain line scan and under 300 ms, allocating nothing
// in proportion to the text; the fill of 10,000 lines under 200 ms.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "programa/montagem.h"
#include "editor/commands/edBusca.h"
#include "editor/commands/edMargem.h"
#include "editor/commands/edembel.h"

namespace {

size_t bytesAlocados = 0;  // by operator new since the start

}  // namespace

void* operator new(size_t n) {
    bytesAlocados += n;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

constexpr int kLinhas = 1'000'000;
constexpr int kLinhasBloco = 10'000;
constexpr int kVezes = 5;

// The best of kVezes runs, in milliseconds.
double melhorMs(const std::function<void()>& f) {
    double melhor = 1e30;
    for (int i = 0; i < kVezes; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        melhor = std::min(
            melhor,
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    }
    return melhor;
}

std::string linha(int i) {
    char s[96];
    std::snprintf(s, sizeof s, "Linha %07d de um texto comprido, com acentua\xE7\xE3o e PALAVRAS.", i);
    return s;
}

// Paragraphs of seven lines of uneven length, an empty line between them.
void preencheBloco(EdVars& ed) {
    static const char* const frases[] = {
        "O editor falado le cada linha em voz alta",
        "e o usuario   ouve o que digita,",
        "sem precisar olhar para a tela.",
        "Uma linha comprida de um texto colado de outro lugar, que passa da margem direita",
        "curta",
        "e segue ate o fim do paragrafo",
        "com mais algumas palavras."};
    ed.texto.liberaTexto();
    for (int i = 0; i < kLinhasBloco; ++i)
        ed.texto.insere(i + 1, i % 8 == 7 ? "" : frases[i % 8]);
    ed.inicioBloco = 1;
    ed.fimBloco = kLinhasBloco;
    ed.linhaAtual = 1;
}

}  // namespace

int main() {
    const auto pasta = std::filesystem::temp_directory_path() / "plumar_bench_busca";
    std::filesystem::create_directories(pasta);
    setenv("SONARE_WINDIR", pasta.c_str(), 1);

    auto sessao = montaSessaoHeadless(std::string(kVezes, 'a'));
    Editor& e = *sessao->editor;
    EdVars& ed = e.ed;
    ed.texto.liberaTexto();
    ed.texto.reservaLidas(kLinhas, static_cast<size_t>(kLinhas) * 64);
    std::string todas;
    for (int i = 1; i <= kLinhas; ++i) {
        const std::string l = linha(i);
        ed.texto.acrescentaLida(l);
        todas += l;
    }

    const std::string palavra = "xilografura";
    volatile size_t achados = 0;
    const double porLinhaMs = melhorMs([&] {
        for (int i = 1; i <= kLinhas; ++i) {
            const std::string_view l = ed.texto.vista(i);
            achados = achados + (memmem(l.data(), l.size(), palavra.data(), palavra.size()) != nullptr);
        }
    });
    const double blocoMs = melhorMs([&] {
        achados = achados + (memmem(todas.data(), todas.size(), palavra.data(), palavra.size()) != nullptr);
    });
    ed.textoProcurado = formaBusca(palavra);
    size_t alocadosBusca = 0;
    const double buscaMs = melhorMs([&] {
        ed.linhaAtual = 1;
        const size_t antes = bytesAlocados;
        procuraDeNovo(e);
        alocadosBusca = std::max(alocadosBusca, bytesAlocados - antes);
    });
    std::printf("search of %d lines (%zu bytes) for a word absent\n", kLinhas, todas.size());
    std::printf("  memmem per line     %8.2f ms\n", porLinhaMs);
    std::printf("  memmem, one block   %8.2f ms\n", blocoMs);
    std::printf("  search again        %8.2f ms  (%.2f x memmem per line)  allocated %zu bytes\n",
                buscaMs, buscaMs / porLinhaMs, alocadosBusca);
    std::printf("  found: %s\n", ed.linhaAtual == 1 ? "nothing (right)" : "something (WRONG)");

    ed.margemEsquerda = 1;
    ed.margemDireita = 72;
    int feitas = 0;
    const double preencheMs = melhorMs([&] {
        preencheBloco(ed);
        acertaMargens(e, false);
        feitas = ed.fimBloco;
    });
    const double soPreencheBloco = melhorMs([&] { preencheBloco(ed); });
    const double justificaMs = melhorMs([&] {
        preencheBloco(ed);
        menuEmbeleza(e);  // A: fill, then justify
    });
    std::printf("block of %d lines -> %d lines\n", kLinhasBloco, feitas);
    std::printf("  fill                %8.2f ms\n", preencheMs - soPreencheBloco);
    std::printf("  fill and justify    %8.2f ms\n", justificaMs - soPreencheBloco);
    return 0;
}
