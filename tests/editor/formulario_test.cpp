#include "editor/formulario.h"

#include <gtest/gtest.h>

#include "sessao.h"

namespace {

// A form taller than the rows left below it scrolls; past the last field one beep; at the
// end integers that are not numbers give 0 and texts keep at most 255 characters.
TEST(Formulario, ScrollsBeepsPastTheEndAndStoresTrimmedValues) {
    SessaoEditor s("abc{Ctrl+PgDn}" + std::string(300, 'z') + "{Down}{Esc}");
    s.crt().GotoXY(1, 21);  // five rows for eight fields
    Formulario f(s.editor(), 10);
    int numero = 7;
    std::vector<std::string> textos(7, " x ");
    f.campoInteiro("EDNUM", "Numero", numero);
    for (size_t i = 0; i < textos.size(); ++i)
        f.campoTexto("EDT" + std::to_string(i), "Campo " + std::to_string(i), textos[i], 4);
    const FimCampo fim = f.executaFormulario();
    EXPECT_EQ(fim.tecla, 27);
    EXPECT_EQ(numero, 0);
    EXPECT_EQ(textos[0], "x");
    EXPECT_EQ(textos[6], std::string(255, 'z'));
    EXPECT_EQ(s.linhaTela(21).substr(0, 14), "Campo 2    x  ");
    EXPECT_EQ(s.linhaTela(25).substr(0, 14), "Campo 6   zzzz");
    EXPECT_EQ(s.fundo(1, 25), 4);
    EXPECT_EQ(s.fundo(11, 25), 0);
    // Each field says its label, then its value; the last one then beeps once.
    const std::string r = s.rastro();
    EXPECT_TRUE(contemEmOrdem(r, {"texto Numero", "texto 7", "texto Campo 6", "texto x", "bip"}));
}

}  // namespace
