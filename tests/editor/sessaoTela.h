// A headless editor for the screen and reading tests: a text put in directly, the keys
// a command reads as a key script, the speech trace as lines, and the screen's cells.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "apoio.h"
#include "console/montagem.h"
#include "platform/codigos.h"

class SessaoTela : public ::testing::Test {
  protected:
    void SetUp() override { abre(""); }

    void abre(std::string_view teclas) {
        sessao_ = montaSessaoHeadless(teclas);
        sessao_->crt->defineSaida([](int) { throw std::runtime_error("the keys ran out"); });
        sessao_->fala->defineRastro((pasta_ / "rastro.txt").string());
        lidas_ = 0;
    }
    Editor& e() { return *sessao_->editor; }
    EdVars& ed() { return sessao_->editor->ed; }
    SnCrt& crt() { return *sessao_->crt; }

    void texto(const std::vector<std::string>& linhas, int linha = 1, int coluna = 1) {
        ed().texto.liberaTexto();
        for (size_t i = 0; i < linhas.size(); ++i)
            ed().texto.insere(static_cast<int>(i) + 1, linhas[i]);
        if (linhas.empty()) ed().texto.insere(1, "");
        ed().linhaAtual = linha;
        ed().colunaAtual = coluna;
    }

    // The trace lines written since the last call, in Windows-1252.
    std::vector<std::string> ouvido() {
        std::istringstream in(utf8ParaWin1252(leArquivo(pasta_ / "rastro.txt")));
        std::vector<std::string> v;
        size_t n = 0;
        for (std::string l; std::getline(in, l); ++n)
            if (n >= lidas_) v.push_back(l);
        lidas_ = n;
        return v;
    }

    // The same with each message's own speech (the line after "mensagem KEY") left out,
    // so the tests do not depend on the wording of the messages.
    std::vector<std::string> ouvidoSemTextos() {
        std::vector<std::string> v;
        bool depoisDeMensagem = false;
        for (std::string& l : ouvido()) {
            if (!depoisDeMensagem) v.push_back(l);
            depoisDeMensagem = !depoisDeMensagem && l.rfind("mensagem ", 0) == 0;
        }
        return v;
    }

    // Screen row `y` (1-based), its 80 characters.
    std::string linhaTela(int y) {
        std::string s;
        for (int x = 1; x <= SnCrt::kColunas; ++x) s += static_cast<char>(crt().caractereEm(x, y));
        return s;
    }
    // The same without the blanks at its end.
    std::string textoTela(int y) {
        std::string s = linhaTela(y);
        return s.substr(0, s.find_last_not_of(' ') + 1);
    }
    int letra(int x, int y) { return crt().atributoEm(x, y) & 15; }
    int fundo(int x, int y) { return crt().atributoEm(x, y) >> 4; }

    PastaTemporaria pasta_;
    Variavel windir_{"SONARE_WINDIR", pasta_.caminho().string()};
    std::unique_ptr<Sessao> sessao_;
    size_t lidas_ = 0;
};

using Linhas = std::vector<std::string>;
