// The engine's stages with the build tree's Brazilian Portuguese data, read as the engine
// reads them, and the Windows-1252 the stages work in.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codigos.h"
#include "platform/texto.h"
#include "speech/tts/uttsPortug.h"
#include "speech/tts/uttsPreproc.h"
#include "speech/tts/uttsProsodia.h"

inline std::string w(std::string_view utf8) { return utf8ParaWin1252(utf8); }
inline std::string u(std::string_view win) { return win1252ParaUtf8(win); }

struct EtapasTts {
    PreprocTts preproc;
    PortugTts portug;
    ProsodiaTts prosodia;
    ListaDifones difones;
    FatoresFala fatores;

    EtapasTts() {
        const std::filesystem::path raiz = std::filesystem::path(PLUMAR_RAIZ_CONSTRUCAO) / "brisatts";
        std::string mensagem;
        EXPECT_TRUE(preproc.carregaAbreviaturas(raiz / "portug.abr"));
        EXPECT_TRUE(portug.carrega(raiz / "portug.nrl", raiz / "portug.exc"));
        EXPECT_TRUE(carregaProsodia(raiz / "portug.pro", prosodia, mensagem)) << mensagem;
        EXPECT_TRUE(difones.carrega(raiz / "portug.dfn"));
    }
    // The whole text through each stage at once.
    std::vector<std::string> deUmaVez(std::string_view texto) const {
        const std::string normal = preproc.normaliza(apara(texto));
        const auto itens = daContornos(tokeniza(normal, prosodia), prosodia);
        return linhasFonemas(portug.converte(itens), prosodia, difones, fatores);
    }
};
