// The engine's first stages with the shipped Brazilian Portuguese data: texts in, the
// normalised words and the phoneme lists out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "etapasTts.h"
#include "speech/tts/uttsTonica.h"

namespace {

// Items "contour|token" as the prosody stage cuts and marks them.
std::vector<std::string> itens(std::string_view t, const ProsodiaTts& prosodia = {}) {
    return daContornos(tokeniza(t, prosodia), prosodia);
}

// The phoneme list read aloud: words apart by " / ", phonemes by blanks, the empty items
// and the end-of-stress marks left out.
std::string mostra(const std::vector<std::string>& fonemas) {
    std::string s;
    for (std::string f : fonemas) {
        if (f.starts_with(';')) {
            if (!s.empty()) s += " /";
            continue;
        }
        if (!f.empty() && f[0] == PortugTts::kFimTonica) f.erase(0, 1);
        if (!f.empty()) s += " " + f;
    }
    return u(s.substr(s.empty() ? 0 : 1));
}

class Motor : public ::testing::Test, protected EtapasTts {
  protected:
    std::string normal(std::string_view utf8) { return u(preproc.normaliza(w(utf8))); }
    std::string fala(std::string_view utf8) {
        return mostra(portug.converte(itens(preproc.normaliza(w(utf8)), prosodia)));
    }
};

TEST_F(Motor, NumbersOrdinalsAbbreviationsAndSymbolsBecomeWords) {
    const std::pair<const char*, const char*> casos[] = {
        {"1.000.000", "um milhão"},
        {"1.5", "um ponto cinco"},
        {"3,25", "três vírgula vinte e cinco"},
        {"2º lugar, 2a. vez, 1os. dias", "segundo lugar, segunda vez, primeiros dias"},
        {"21ª e 1999º", "vigésima primeira e milésimo nongentésimo nonagésimo nono"},
        {"2023º", "dois mil e vinte e três"},
        {"007", "zero zero sete"},
        {"0", "zéro"},
        {"tel 3333-4444", "tel três três três três traço quatro quatro quatro quatro"},
        {"-5 graus", "menos cinco graus"},
        {"1234567890123456",
         "cento e vinte e três trilhões quatrocentos e cinqüenta e seis bilhões setecentos e "
         "oitenta e nove milhões doze mil e trezentos e quarenta e cinco seis"},
        {"BCD e FGTS", "bê sê dê e éfejêtêésse"},
        {"Dr. Silva e Sra. Ana na av. Paulista, nº 5, pág. 3",
         "doutor Silva e senhora Ana na avenida Paulista, número cinco , página três"},
        {"10 km e 5kg", "dez quilômetros e cinco quilos"},
        {"pão, leite etc. Depois, etc. e tal, etc.", "pão, leite etcétera. Depois, etcétera e tal, etcétera."},
        {"guarda-chuva - disse", "guardachuva , disse"},
        {"Fim... ola.com", "Fim... ola ponto com"},
        {"um\ttab\r\nlinha", "um tab linha"},
        {"50% & 3 @", "cinqüenta porcento é comercial três arrôba"},
        {"#", "sustenido"},
        {"j", "jota"},
        {"÷ ×", "dividido vezes"},
        {"\x01", "código um"},
    };
    for (const auto& [texto, esperado] : casos) EXPECT_EQ(normal(texto), esperado) << texto;
}

// Beyond the words of the page below, whose stress the phonemes show.
TEST_F(Motor, StressFallsWhereTheWordIsSaid) {
    const std::pair<const char*, int> casos[] = {
        {"casas", 2},  {"água", 1},   {"pequeno", 5}, {"quase", 3}, {"ninguém", 6},
        {"tcc", 0},    {"homens", 2}, {"jardins", 5}, {"bons", 2},  {"lápis", 2},
        {"ontens", 1}, {"meio", 2},   {"ideia", 3},   {"praia", 3}, {"rio", 2},  {"saias", 2},
    };
    for (const auto& [palavra, posicao] : casos)
        EXPECT_EQ(posicaoTonica(w(palavra)), posicao) << palavra;
}

TEST_F(Motor, APageOfTextBecomesPhonemes) {
    EXPECT_EQ(fala("Casa, dia e caixa; rua, animal, amor, ontem, bom, irmã."),
              "__ / k >a z @ / _, / dZ >i @ / i / k >a y S @ / _; / R >u @ / _, / a n i m >a w / _, / "
              "a m >o r2 / _, / >on t en y / _, / b >on / _, / i R m >an / _. / __ __");
    EXPECT_EQ(fala("Não, o homem chegou às 10h."),
              "__ / n an w / _, / u / >o m en y / S e g >o w / a s2 / d >E z / a g >a / _. / __ __");
    EXPECT_EQ(fala("Os olhos do mar azul, por favor; mar calmo."),
              "__ / u z / >O L u s2 / d u / m >a r / a z >u w / _, / p o r2 / f a v >o r2 / _; / m >a r2 / "
              "k >a w m u / _. / __ __");
    EXPECT_EQ(fala("A Sra. Lúcia pagou R$ 1.250,50 pelo táxi em 3/4."),
              "__ / @ / s e J >O r @ / l >u s i @ / p a g >o w / >E R i / s i f r >an w / m >i w / i / "
              "d u z >en t u z / i / s in k w >en t @ / v >i R g u l @ / s in k w >en t @ / "
              "p >e l u / t >a k s i / en y / t r >e s2 / b >a R @ / k w >a t r u / _. / __ __");
}

TEST_F(Motor, ListShapeMarkersPausesAndTheEndOfStress) {
    const std::vector<std::string> f = portug.converte({"555|Casa", "123|,", "555|", "555| ", w("5|café")});
    const std::vector<std::string> esperado = {
        ";555|Casa", "k", ">a", "\xA8z", "@", "", ";123|,", "_,", ";555|", "__", ";555| ",
        ";5|caf\xE9", "k", "a", "f", ">E", "\xA8", "__"};
    EXPECT_EQ(f, esperado);
}

TEST(MotorRegras, UncoveredLettersSkippedExceptionsStripSAndMAndUnstressedWords) {
    PortugTts p;
    p.carregaTextos(w("; a comment (A)=x|\n(A)=a|\n(B)=b|\n(C)=k&s|\n(N)=n|\n(Ã)=an|\n(O)=o|\n"
                      "(S)=s|\n(M)=m|\n"),
                    w("cao=cão|\nnao=nnão|\n"));
    // X has no rule: nothing is said for it; the centre of a comment line makes no rule.
    EXPECT_EQ(mostra(p.converte({"555|xabax"})), "a b >a __");
    // Found only without the S and the M, which follow the replacement.
    EXPECT_EQ(mostra(p.converte({"555|caos", "555|caom"})), "k s >an o s / k s >an o m __");
    // NÃO and two-letter words are said without stress.
    EXPECT_EQ(mostra(p.converte({w("555|não"), "555|ba", w("555|nao")})), "n an o / b a / n n >an o __");
}

TEST(MotorRegras, OversizedAndHostileInputsEndCleanly) {
    std::string regras;
    for (int i = 0; i < 100000; ++i) regras += "AB(C" + std::to_string(i % 10) + "DEFGH)XYZWVU=abcdefghijklmnopqrstuvwxyz|\n";
    regras += "(A)=a&bcdefghijklmnopqrstuvwxyz|\n(Q)@=q|\n";
    std::string excecoes;
    for (int i = 0; i < 20000; ++i) excecoes += "P" + std::to_string(i) + "=A|\n";
    PortugTts p;
    p.carregaTextos(regras, excecoes);
    // The output is cut at 20 characters; an unknown context character matches itself only.
    EXPECT_EQ(mostra(p.converte({"555|aq"})), "a bcdefghijklmnopqrs __");
    // Only the first 15000 exceptions are kept.
    EXPECT_EQ(mostra(p.converte({"555|p14999", "555|p15000"})), "a bcdefghijklmnopqrs / __");

    PreprocTts n;
    n.carregaAbreviaturasTexto("");
    std::string todos;
    for (int c = 0; c < 256; ++c) todos += static_cast<char>(c);
    const std::string texto = todos + std::string(40, '9') + std::string(100000, 'a');
    const std::string normal = n.normaliza(texto);
    EXPECT_GT(normal.size(), texto.size());
    EXPECT_FALSE(p.converte(itens(normal)).empty());
}

}  // namespace
