// A headless editor for the prompt tests: the keys of a script, the speech trace in a
// temporary folder, and the end of the script raised as an exception instead of ending
// the test program (the screen as it was then is kept for the test to look at).
#pragma once

#include <memory>
#include <string>

#include "apoio.h"
#include "console/montagem.h"
#include "platform/codigos.h"

struct FimDoRoteiro {};

class SessaoEditor {
  public:
    explicit SessaoEditor(const std::string& teclas) : sessao_(montaSessaoHeadless(teclas)) {
        SnCrt* crt = sessao_->crt.get();
        sessao_->crt->aoTerminar([this, crt] { telaNoFim_ = crt->tela(); });
        sessao_->crt->defineSaida([](int) { throw FimDoRoteiro{}; });
        sessao_->fala->defineRastro((pasta_ / "rastro.txt").string());
        sessao_->crt->garanteJanela();
        sessao_->crt->ligaVerificaInterrupcao(
            false);  // Alt keys reach the program, as in the editor
    }
    Editor& editor() { return *sessao_->editor; }
    SnCrt& crt() { return *sessao_->crt; }
    Fala& fala() { return *sessao_->fala; }
    const PastaTemporaria& pasta() const { return pasta_; }
    // The trace so far, in Windows-1252 as the program's texts are.
    std::string rastro() const { return utf8ParaWin1252(leArquivo(pasta_ / "rastro.txt")); }
    // Screen row `y` (1-based), the 80 characters.
    std::string linhaTela(int y) { return linhaDe(crt().tela(), y); }
    // The same when the script ran out (the console closes then).
    std::string linhaTelaNoFim(int y) const { return linhaDe(telaNoFim_, y); }
    uint8_t atributoNoFim(int x, int y) const { return telaNoFim_.atributo(x - 1, y - 1); }

  private:
    static std::string linhaDe(const ModeloTela& tela, int y) {
        std::string s;
        for (int x = 0; x < SnCrt::kColunas; ++x) s += static_cast<char>(tela.caractere(x, y - 1));
        return s;
    }

    PastaTemporaria pasta_;
    // No SONARE.INI of the machine is read: the window settings are the defaults.
    Variavel windir_{"SONARE_WINDIR", pasta_.caminho().string()};
    std::unique_ptr<Sessao> sessao_;
    ModeloTela telaNoFim_;
};

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
