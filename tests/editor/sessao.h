// A headless editor for the editor's tests: the keys its commands read given as a key
// script, the speech trace in a temporary folder, the text put in directly and the
// screen's cells. When a command reads past the end of its keys the console's exit
// raises FimDoRoteiro, so the test fails (or checks for it) instead of the program ending.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "apoio.h"
#include "programa/montagem.h"
#include "platform/codigos.h"  // utf8ParaWin1252

struct FimDoRoteiro : std::runtime_error {
    FimDoRoteiro() : std::runtime_error("the keys ran out") {}
};

using Ouvido = std::vector<std::string>;
using Linhas = std::vector<std::string>;

class SessaoHeadless {
  public:
    // A fresh editor whose commands will read `teclas`.
    void abre(std::string_view teclas) {
        sessao_ = montaSessaoHeadless(teclas);
        sessao_->crt->defineSaida([](int) { throw FimDoRoteiro{}; });
        sessao_->fala->defineRastro((pasta_ / "rastro.txt").string());
        lidas_ = 0;
    }
    Editor& e() { return *sessao_->editor; }
    EdVars& ed() { return sessao_->editor->ed; }
    SnCrt& crt() { return *sessao_->crt; }

    // The text, cursor on line `linha` at column `coluna`.
    void texto(const Linhas& linhas, int linha = 1, int coluna = 1) {
        ed().texto.liberaTexto();
        for (size_t i = 0; i < linhas.size(); ++i)
            ed().texto.insere(static_cast<int>(i) + 1, linhas[i]);
        if (linhas.empty()) ed().texto.insere(1, "");
        ed().linhaAtual = linha;
        ed().colunaAtual = coluna;
    }
    Linhas linhas() {
        Linhas v;
        for (int i = 1; i <= ed().nLinhas(); ++i) v.push_back(ed().linha(i));
        return v;
    }

    // The whole trace, in Windows-1252 as the program's texts are.
    std::string rastro() const { return utf8ParaWin1252(leArquivo(pasta_ / "rastro.txt")); }
    // The trace lines written since the last call.
    Ouvido ouvido() {
        std::istringstream in(rastro());
        Ouvido v;
        size_t n = 0;
        for (std::string l; std::getline(in, l); ++n)
            if (n >= lidas_) v.push_back(l);
        lidas_ = n;
        return v;
    }
    // The same with each message's own speech (the line after "mensagem KEY") left out,
    // so the tests do not depend on the wording of the messages.
    Ouvido ouvidoSemTextos() {
        Ouvido v;
        bool depoisDeMensagem = false;
        for (std::string& l : ouvido()) {
            if (!depoisDeMensagem) v.push_back(l);
            depoisDeMensagem = !depoisDeMensagem && l.rfind("mensagem ", 0) == 0;
        }
        return v;
    }

    // Screen row `y` (1-based), its 80 characters.
    std::string linhaTela(int y) {
        crt().garanteJanela();
        return linhaDe(crt().tela(), y);
    }
    // The same without the blanks at its end.
    std::string textoTela(int y) {
        std::string s = linhaTela(y);
        return s.substr(0, s.find_last_not_of(' ') + 1);
    }
    int letra(int x, int y) { return crt().atributoEm(x, y) & 15; }
    int fundo(int x, int y) { return crt().atributoEm(x, y) >> 4; }

  protected:
    static std::string linhaDe(const ModeloTela& tela, int y) {
        std::string s;
        for (int x = 0; x < SnCrt::kColunas; ++x) s += static_cast<char>(tela.caractere(x, y - 1));
        return s;
    }

    PastaTemporaria pasta_;
    // No SONARE.INI of the machine is read: the settings are the defaults.
    Variavel windir_{"SONARE_WINDIR", pasta_.caminho().string()};
    // Copies of texts go to the test's folder, never to the user's state folder.
    Variavel estado_{"XDG_STATE_HOME", (pasta_ / "estado").string()};
    std::unique_ptr<Sessao> sessao_;
    size_t lidas_ = 0;
};

// The fixture of the editing, screen and reading tests: each test starts with an editor
// that has no keys to read; `abre` gives it some.
class SessaoEdicao : public ::testing::Test, public SessaoHeadless {
  protected:
    void SetUp() override { abre(""); }
};

// An editor built around one key script, for the prompt and list tests: the console's
// window is open and Alt keys reach the program, as in the editor; the screen as it was
// when the script ran out (the console closes then) is kept.
class SessaoEditor : public SessaoHeadless {
  public:
    explicit SessaoEditor(const std::string& teclas) {
        abre(teclas);
        SnCrt* c = &crt();
        c->aoTerminar([this, c] { telaNoFim_ = c->tela(); });
        c->garanteJanela();
        c->ligaVerificaInterrupcao(false);
    }
    Editor& editor() { return e(); }
    Fala& fala() { return *sessao_->fala; }
    const PastaTemporaria& pasta() const { return pasta_; }
    std::string linhaTelaNoFim(int y) const { return linhaDe(telaNoFim_, y); }
    uint8_t atributoNoFim(int x, int y) const { return telaNoFim_.atributo(x - 1, y - 1); }

  private:
    ModeloTela telaNoFim_;
};

// Whether the trace lines `o` hold `linha`.
inline bool ouviu(const Ouvido& o, const std::string& linha) {
    return std::find(o.begin(), o.end(), linha) != o.end();
}

// Whether `linhas` (whole trace lines) appear in the trace in this order.
inline bool contemEmOrdem(const std::string& rastro, std::initializer_list<std::string> linhas) {
    const std::string r = "\n" + rastro;
    size_t pos = 0;
    for (const std::string& l : linhas) {
        pos = r.find("\n" + l + "\n", pos);
        if (pos == std::string::npos) return false;
        pos += l.size() + 1;
    }
    return true;
}
