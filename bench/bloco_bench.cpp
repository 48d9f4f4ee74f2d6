// Speed of the block commands: sorting a 20,000-line block of names and places (many lines
// with the same comparison form, differing only in case or accents), with the exchange loop
// run literally on a 2,000-line block in the same run for comparison (same order, time
// ratio); and moving, copying and removing 10,000 lines of a 40,000-line text. Each command
// is run as the block family runs it, its spoken message included (headless, null sound).
//
// Targets: 20,000 lines sorted in under 1 s; move, copy and remove of 10,000 lines each
// under 100 ms.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "programa/montagem.h"
#include "editor/commands/edBloco.h"
#include "platform/texto.h"
#include "ordemLiteral.h"

namespace {

double mede(const std::function<void()>& f) {
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

// Lines such as "Conceição, Maria José - São Paulo", in Windows-1252, drawn from few enough
// pieces that many lines repeat, some in another case or without their accents.
std::vector<std::string> linhasDeNomes(int n, unsigned semente) {
    const char* sobrenomes[] = {"Concei\xE7\xE3o", "Silva", "Ara\xFAjo", "Gon\xE7" "alves",
                                "Lou\xE7\xE3", "Sim\xF5" "es", "Ribeiro", "Ara\xFAjo Neto",
                                "Fal\xE7\xE3o", "Oliveira", "Mour\xE3o", "Brand\xE3o"};
    const char* nomes[] = {"Maria Jos\xE9", "Jo\xE3o", "Ant\xF4nio", "\xC2ngela", "L\xFA" "cia",
                           "Andr\xE9", "Ana", "Jos\xE9", "In\xEAs", "Concei\xE7\xE3o"};
    const char* lugares[] = {"S\xE3o Paulo", "Bel\xE9m", "Macei\xF3", "Bras\xEDlia",
                             "Goi\xE2nia", "Florian\xF3polis", "Niter\xF3i", "Recife"};
    std::mt19937 sorte(semente);
    auto de = [&sorte](const auto& lista) {
        return std::string(lista[sorte() % (sizeof(lista) / sizeof(lista[0]))]);
    };
    std::vector<std::string> linhas;
    for (int i = 0; i < n; ++i) {
        std::string l = de(sobrenomes) + ", " + de(nomes) + " - " + de(lugares);
        switch (sorte() % 4) {
            case 0: l = maiusculas1252(l); break;
            case 1: l = minusculas1252(l); break;
            default: break;
        }
        linhas.push_back(l);
    }
    return linhas;
}

void poeTexto(EdVars& ed, const std::vector<std::string>& linhas) {
    ed.texto.liberaTexto();
    ed.texto.insere(1, linhas);
    ed.linhaAtual = 1;
}

}  // namespace

int main() {
    // No SONARE.INI of the user is read or written.
    const auto pasta = std::filesystem::temp_directory_path() / "plumar_bench_bloco";
    std::filesystem::create_directories(pasta);
    setenv("SONARE_WINDIR", pasta.c_str(), 1);
    auto sessao = montaSessaoHeadless("");
    Editor& e = *sessao->editor;
    EdVars& ed = e.ed;

    // The sort of 20,000 lines, through the command.
    const std::vector<std::string> grandes = linhasDeNomes(20000, 1);
    poeTexto(ed, grandes);
    ed.inicioBloco = 1;
    ed.fimBloco = ed.nLinhas();
    std::vector<std::string> formasGrandes;
    for (const std::string& l : grandes) formasGrandes.push_back(formaBusca(l));
    const double msOrdem = mede([&] { ordemDaTroca(formasGrandes); });
    const double msOrdena = mede([&] { ordenaBloco(e); });
    bool ordenado = true;
    for (int i = 2; i <= ed.nLinhas(); ++i)
        ordenado = ordenado && formaBusca(ed.linha(i - 1)) <= formaBusca(ed.linha(i));

    // 2,000 lines: the fast order and the literal loop.
    const std::vector<std::string> pequenas = linhasDeNomes(2000, 2);
    std::vector<std::string> formas;
    for (const std::string& l : pequenas) formas.push_back(formaBusca(l));
    std::vector<int> rapida, literal;
    const double msRapida = mede([&] { rapida = ordemDaTroca(formas); });
    const double msLiteral = mede([&] { literal = ordemDaTrocaLiteral(pequenas); });

    // Move, copy and remove 10,000 lines of a 40,000-line text.
    const std::vector<std::string> texto = linhasDeNomes(40000, 3);
    auto prepara = [&](int inicio, int cursor) {
        poeTexto(ed, texto);
        ed.inicioBloco = inicio;
        ed.fimBloco = inicio + 9999;
        ed.linhaAtual = cursor;
    };
    prepara(20001, 5000);
    const double msMove = mede([&] { moveBloco(e); });
    prepara(5001, 30000);
    const double msCopia = mede([&] { copiaBloco(e); });
    const bool copiou = ed.nLinhas() == 50000;
    prepara(10001, 1);
    const double msRemove = mede([&] { removeBloco(e); });
    const bool removeu = ed.nLinhas() == 30000;

    std::printf("sort of 20000 lines: %.1f ms (%s), of which the order alone %.1f ms\n", msOrdena,
                ordenado ? "in order" : "NOT IN ORDER", msOrdem);
    std::printf("2000 lines: fast order %.2f ms, literal loop %.1f ms (%.0fx), same order: %s\n",
                msRapida, msLiteral, msLiteral / std::max(msRapida, 1e-3),
                rapida == literal ? "yes" : "NO");
    std::printf("10000 of 40000 lines: move %.1f ms, copy %.1f ms, remove %.1f ms\n", msMove,
                msCopia, msRemove);
    const bool ok = ordenado && rapida == literal && copiou && removeu && msOrdena < 1000 &&
                    msMove < 100 && msCopia < 100 && msRemove < 100;
    std::printf("target (sort under 1 s, move/copy/remove under 100 ms): %s\n",
                ok ? "met" : "NOT met");
    std::error_code ec;
    std::filesystem::remove_all(pasta, ec);
    return ok ? 0 : 1;
}
