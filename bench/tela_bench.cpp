// Speed of the screen and of continuous reading, on the headless console with the null
// sound device:
//  - the full redraw and the current-line redraw of a 1,000,000-line text with the cursor
//    in its middle, beside the same redraws of a 100-line text (the cost must not grow
//    with the text) and beside a baseline that paints the same rows directly;
//  - reading a 10000-line text to its end, beside a baseline that hands the same lines to
//    the speech front end one by one with a redraw each.
// Each is timed in the same run.
//
// Target: a full redraw under 0.2 ms of computing, whatever the text's size.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "programa/montagem.h"
#include "editor/edtela.h"

namespace {

using Relogio = std::chrono::steady_clock;

constexpr int kRepeticoes = 20000;

struct Medida {
    double mediaUs = 0, piorUs = 0;
};

Medida mede(int n, const std::function<void(int)>& passo) {
    Medida m;
    double total = 0;
    for (int i = 0; i < n; ++i) {
        const auto t0 = Relogio::now();
        passo(i);
        const double us = std::chrono::duration<double, std::micro>(Relogio::now() - t0).count();
        total += us;
        m.piorUs = std::max(m.piorUs, us);
    }
    m.mediaUs = total / n;
    return m;
}

void relata(const char* nome, const Medida& m) {
    std::printf("%-36s mean %8.2f us  worst %9.1f us\n", nome, m.mediaUs, m.piorUs);
}

void preenche(EdVars& ed, int linhas, const char* modelo) {
    ed.texto.liberaTexto();
    for (int i = 1; i <= linhas; ++i) {
        char l[128];
        std::snprintf(l, sizeof l, modelo, i);
        ed.texto.insere(i, l);
    }
    ed.linhaAtual = std::max(linhas / 2, 1);
    ed.colunaAtual = 10;
    ed.inicioBloco = ed.linhaAtual - 3;  // a block and a selection, so every colour is used
    ed.fimBloco = ed.linhaAtual + 3;
    ed.selecaoInicio = 3;
    ed.selecaoFim = 12;
}

// What any redraw has to do at least: the same rows painted straight onto the console.
void pintaLinhas(SnCrt& crt, const std::string& linha, int de, int ate) {
    for (int y = de; y <= ate; ++y) {
        crt.GotoXY(1, y);
        crt.TextBackground(0);
        crt.ClrEol();
        crt.escreve(linha);
    }
}

double milissegundos(const std::function<void()>& f) {
    const auto t0 = Relogio::now();
    f();
    return std::chrono::duration<double, std::milli>(Relogio::now() - t0).count();
}

}  // namespace

int main() {
    // No SONARE.INI of the user is read or written.
    const auto pasta = std::filesystem::temp_directory_path() / "plumar_bench_tela";
    std::filesystem::create_directories(pasta);
    setenv("SONARE_WINDIR", pasta.c_str(), 1);

    auto sessao = montaSessaoHeadless("");
    Editor& e = *sessao->editor;
    EdVars& ed = e.ed;
    configuraTela(e);
    const std::string linhaTipica(79, 'x');

    const Medida baseTotal =
        mede(kRepeticoes, [&](int) { pintaLinhas(e.crt, linhaTipica, 9, 25); });
    const Medida baseLinha =
        mede(kRepeticoes, [&](int) { pintaLinhas(e.crt, linhaTipica, 15, 15); });

    preenche(ed, 100, "Linha %d de um texto curto, para comparar com o texto enorme.");
    const Medida totalCurto = mede(kRepeticoes, [&](int) { redesenhaTela(e); });

    preenche(ed, 1000000, "Linha %d de um texto enorme, com o cursor no meio dele.");
    const Medida total = mede(kRepeticoes, [&](int) { redesenhaTela(e); });
    const Medida linha = mede(kRepeticoes, [&](int i) {
        ed.colunaAtual = 10 + i % 40;  // moving along the line, as the arrows do
        atualizaLinhaTela(e);
    });

    // Reading to the end: 10000 lines of one sentence each.
    preenche(ed, 10000, "Frase %d do texto lido de uma vez, ate o fim.");
    ed.linhaAtual = 1;
    ed.colunaAtual = 1;
    const double leitura = milissegundos([&] { leAteOFim(e); });
    const int lidasAte = ed.linhaAtual;
    ed.linhaAtual = 1;
    const double baseLeitura = milissegundos([&] {
        for (int i = 1; i <= ed.nLinhas(); ++i) {
            ed.linhaAtual = i;
            e.fala.falaTexto(ed.linha(i));
            redesenhaTela(e);
        }
    });

    relata("baseline: paint rows 9..25", baseTotal);
    relata("full redraw, 100 lines", totalCurto);
    relata("full redraw, 1,000,000 lines", total);
    relata("baseline: paint row 15", baseLinha);
    relata("current-line redraw, 1,000,000 lines", linha);
    std::printf("%-36s %8.1f ms for 10000 lines (cursor ended on line %d)\n", "read to the end",
                leitura, lidasAte);
    std::printf("%-36s %8.1f ms\n", "baseline: speak + redraw each line", baseLeitura);
    const bool ok = total.mediaUs < 200 && total.mediaUs < 2 * totalCurto.mediaUs + 20;
    std::printf("target (full redraw < 0.2 ms, not growing with the text): %s\n",
                ok ? "met" : "NOT met");
    std::error_code ec;
    std::filesystem::remove_all(pasta, ec);
    return 0;
}
