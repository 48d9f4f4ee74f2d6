// A headless editor for the editing tests: a text put in directly, the keys a command
// reads given as a key script, and what was heard since the last look at the trace. A
// command reading past the end of its keys fails the test instead of ending the program.
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

class SessaoEdicao : public ::testing::Test {
  protected:
    void SetUp() override { abre(""); }

    // A fresh editor whose commands will read `teclas`.
    void abre(std::string_view teclas) {
        sessao_ = montaSessaoHeadless(teclas);
        sessao_->crt->defineSaida([](int) { throw std::runtime_error("the keys ran out"); });
        lidas_ = 0;
        sessao_->fala->defineRastro((pasta_ / "rastro.txt").string());
    }
    Editor& e() { return *sessao_->editor; }
    EdVars& ed() { return sessao_->editor->ed; }

    // The text, cursor on line `linha` at column `coluna`.
    void texto(const std::vector<std::string>& linhas, int linha = 1, int coluna = 1) {
        ed().texto.liberaTexto();
        for (size_t i = 0; i < linhas.size(); ++i)
            ed().texto.insere(static_cast<int>(i) + 1, linhas[i]);
        if (linhas.empty()) ed().texto.insere(1, "");
        ed().linhaAtual = linha;
        ed().colunaAtual = coluna;
    }
    std::vector<std::string> linhas() {
        std::vector<std::string> v;
        for (int i = 1; i <= ed().nLinhas(); ++i) v.push_back(ed().linha(i));
        return v;
    }
    // The trace lines written since the last call.
    std::vector<std::string> ouvido() {
        std::istringstream in(leArquivo(pasta_ / "rastro.txt"));
        std::vector<std::string> v;
        size_t n = 0;
        for (std::string l; std::getline(in, l); ++n)
            if (n >= lidas_) v.push_back(l);
        lidas_ = n;
        return v;
    }
    // Holds (or releases) modifiers as the console sees them for the key being handled.
    void modificadores(bool shift, bool ctrl, bool alt) {
        EventoEntrada ev;
        ev.tipo = EventoEntrada::Tipo::TeclaDesce;
        ev.tecla = vk::Shift;
        ev.mod = {shift, ctrl, alt};
        e().crt.trataEvento(ev);
        e().crt.limpaFila();
    }

    PastaTemporaria pasta_;
    // No SONARE.INI of the machine is read.
    Variavel windir_{"SONARE_WINDIR", pasta_.caminho().string()};
    std::unique_ptr<Sessao> sessao_;
    size_t lidas_ = 0;
};

using Ouvido = std::vector<std::string>;
