#include "editor/edDesfazer.h"

#include <string>

#include "editor/edMensag.h"
#include "editor/edtela.h"
#include "speech/numeros.h"

namespace {

// The message on row 9 in its parts: "Desfeito: ", the step's name, its line count.
void anuncia(Editor& e, std::string_view inicio, const Historico::Resumo& r) {
    falaMensagem(e, inicio);
    e.crt.TextBackground(1);
    escreveMensagem(e, r.rotulo);
    if (!r.contaLinhas || r.linhas < 2) return;
    e.crt.TextBackground(1);
    e.crt.escreve(", " + std::to_string(r.linhas) + " ");
    e.fala.falaExtenso(numeroExtenso(static_cast<uint64_t>(r.linhas)), true);
    e.crt.TextBackground(1);
    escreveMensagem(e, "EDLINHAS");
}

void volta(Editor& e, bool refazer) {
    const std::optional<Historico::Resumo> r =
        refazer ? e.ed.historico.refaz(e.ed) : e.ed.historico.desfaz(e.ed);
    if (!r) {
        falaMensagem(e, refazer ? "EDNADREF" : "EDNADDES");
        e.fala.bip();
        return;
    }
    anuncia(e, refazer ? "EDREFEIT" : "EDDESFEI", *r);
    redesenhaTela(e);
    leLinhaDeChegada(e);
}

}  // namespace

void desfaz(Editor& e) { volta(e, false); }
void refaz(Editor& e) { volta(e, true); }
