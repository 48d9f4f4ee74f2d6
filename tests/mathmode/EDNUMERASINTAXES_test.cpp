// The math translator over whole programs: the code lines its rewrites give, and the
// error number, parameter and line of every fault reachable from source text.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "editor/sessao.h"
#include "mathmode/EDNUMERASINTAXES.h"
#include "mathmode/EDNUMERAVARS.h"

namespace fs = std::filesystem;

namespace {

// A Brazilian Portuguese locale compiled once into the temporary folder (the machine may
// have none installed); empty when it cannot be made.
std::string pastaLocalePtBr() {
    const fs::path pasta = fs::temp_directory_path() / "plumar_locale_ptbr";
    if (fs::exists(pasta / "pt_BR.UTF-8" / "LC_NUMERIC")) return pasta.string();
    const fs::path parcial = pasta.string() + "." + std::to_string(::getpid());
    fs::create_directories(parcial);
    const std::string comando =
        "localedef -i pt_BR -f UTF-8 '" + (parcial / "pt_BR.UTF-8").string() + "' >/dev/null 2>&1";
    std::error_code ec;
    if (std::system(comando.c_str()) != 0 || !fs::exists(parcial / "pt_BR.UTF-8" / "LC_NUMERIC")) {
        fs::remove_all(parcial, ec);
        return {};
    }
    fs::rename(parcial, pasta, ec);
    fs::remove_all(parcial, ec);
    return pasta.string();
}

class TradutorNumera : public SessaoEdicao {
  protected:
    void SetUp() override {
        SessaoEdicao::SetUp();
        ed().diretorioMensagens = "c:\\ornato\\plumar\\";
    }

    // Translates `corpo` between "\BEGIN;" (line 1) and "\END;", the cursor on line 2.
    void traduz(const Linhas& corpo) {
        Linhas l{"\\BEGIN;"};
        l.insert(l.end(), corpo.begin(), corpo.end());
        l.push_back("\\END;");
        texto(l, 2);
        codigo_ = traduzPrograma(e());
    }
    static Linhas leConfig(const char* nome) {
        std::istringstream in(leArquivo(arquivoNumeraEscrita(nome)));
        Linhas v;
        for (std::string l; std::getline(in, l);) v.push_back(l.substr(0, l.find('\r')));
        return v;
    }
    // The code lines between BEGIN and END; the file holds the lines handed to the run.
    Linhas corpoCodigo() {
        Linhas c = leConfig("codigo.txt");
        EXPECT_GE(c.size(), 3u);
        EXPECT_EQ(c[0], "");
        EXPECT_EQ(Linhas(c.begin() + 1, c.end()), codigo_);
        EXPECT_EQ(c[1], "\\BEGIN{INICIO};");
        EXPECT_EQ(c.back(), "\\END{FINAL};");
        return Linhas(c.begin() + 2, c.end() - 1);
    }
    Linhas codigo_;
};

TEST_F(TradutorNumera, RewritesGiveTheCodeLinesOfTheLanguage) {
    Variavel c("LC_ALL", "C");
    traduz({"x=a*-b;", "Y = 2x+3(x-1);", "Z=1.5E-3;", "X2Y=(A)(B)+SQRT(X)+X2Y;", "W=1,5;",
            "\\if{a<(b)};", "\\else;", "\\continue;", "STRA=-B;", "\\print{ \"a b\" }; %% comment",
            "V=1 %{ a comment }% +2;", "strb=\"x\";"});
    EXPECT_EQ(corpoCodigo(),
              (Linhas{"\\EXPRESSION{X=A*(0-1)*B};", "\\EXPRESSION{Y=2*X+3*(X-1)};",
                      "\\EXPRESSION{Z=1.5E-3};", "\\EXPRESSION{X2Y=(A)*(B)+SQRT*(X)+X2Y};",
                      "\\EXPRESSION{W=1.5};", "\\IF{A<(B)};", "\\CONTINUE{vacio};", "\\IF{A>=(B)};",
                      "\\CONTINUE{vacio};", "\\EXPRESSION{STRA=(0-1)*B};", "\\PRINT{\"ab\"};",
                      "\\EXPRESSION{V=1+2};", "\\EXPRESSION{STRB=\"X\"};"}));
    EXPECT_EQ(e().numera.estadoNumera, 1);
    EXPECT_EQ(e().numera.linhaResultados, 15);
    // ELSE is two statements, both mapped to its line.
    EXPECT_EQ(e().numera.mapaLinhas[7], 8);
    EXPECT_EQ(e().numera.mapaLinhas[8], 8);
    EXPECT_EQ(e().numera.mapaLinhas[9], 9);
}

TEST_F(TradutorNumera, LabelsEmptyLinesAndStatementsOverSeveralLines) {
    Variavel c("LC_ALL", "C");
    texto({"antes", "\\BEGIN;", "", "a: Y=A+", "", "   B;", "B:\\GOTO{A};", "\\END;", "depois"}, 5);
    traduzPrograma(e());
    EXPECT_EQ(leConfig("codigo.txt"), (Linhas{"", "\\BEGIN{INICIO};", "\\NOP;", "\\EXPRESSION{Y=A+B};",
                                             "\\GOTO{A};", "\\END{FINAL};"}));
    ASSERT_EQ(e().numera.etiquetas.size(), 2u);
    EXPECT_EQ(e().numera.etiquetas[0].nome, "A");
    EXPECT_EQ(e().numera.etiquetas[0].instrucao, 2);
    EXPECT_EQ(e().numera.etiquetas[1].instrucao, 3);
    EXPECT_EQ(e().numera.mapaLinhas[1], 4);  // the statement's first line
    EXPECT_EQ(e().numera.mapaLinhas[2], 7);
    EXPECT_EQ(e().numera.linhaResultados, 9);
}

struct CasoErro {
    Linhas corpo;
    int codigo;
    std::string parametro;
    int linha = 2;
};

TEST_F(TradutorNumera, EveryFaultGivesItsNumberParameterAndLine) {
    Variavel c("LC_ALL", "C");
    gravaArquivoTeste(pasta_ / "DADOS.csv", "1;2\r\n");
    gravaArquivoTeste(pasta_ / "dados.txt", "abc\r\n");
    const fs::path antes = fs::current_path();
    fs::current_path(pasta_.caminho());
    const std::vector<CasoErro> casos = {
        {{"\\FIM;"}, 1, ""},
        {{"\\READFUNCTION{X};"}, 1, ""},
        {{"\\ENDIF;"}, 1, ""},
        {{"\\ELSE;"}, 1, ""},
        {{"\\PRINT{X}"}, 2, ""},
        {{"\\VARIABLES{X};"}, 2, ""},
        {{"X=1;", "\\BEGIN;"}, 3, "", 3},
        {{"X=A#B;"}, 6, "#"},
        {{"X=A+;"}, 6, "+"},
        {{"1X=2;"}, 8, "1X"},
        {{"X-Y=2;"}, 9, "-"},
        {{"X=A**B;"}, 10, "**"},
        {{"X=A)+(B;"}, 11, ""},
        {{"X=(A;"}, 12, ""},
        {{"\\FOR{I:10};"}, 13, ""},
        {{"\\FOR{I=1};"}, 14, ""},
        {{"\\FOR{=1:2};"}, 15, ""},
        {{"\\FOR{I=:2};"}, 16, ""},
        {{"\\FOR{I=1:};"}, 17, ""},
        {{"\\WHILE{A};"}, 18, ""},
        {{"\\WHILE{<B};"}, 19, ""},
        {{"\\WHILE{A<};"}, 20, ""},
        {{"\\WHILE{A=<B};"}, 6, "<"},
        {{"\\IF{A};"}, 21, ""},
        {{"\\IF{>B};"}, 22, ""},
        {{"\\IF{A>};"}, 23, ""},
        {{"\\VARRESULT{A,B};"}, 24, "."},  // "," is the separator's other character
        {{"\\VARRESULT{};"}, 28, ""},
        {{"X;"}, 29, ""},
        {{"=2;"}, 30, ""},
        {{"X=.5;"}, 31, ""},
        {{"X=5.;"}, 32, ""},
        {{"\\SAVECONSTANT{};"}, 34, ""},
        {{"\\STEPRESULT{2X};"}, 35, "2X"},
        {{":X=1;"}, 36, ""},
        {{"A-B:X=1;"}, 37, "-"},
        {{"1A:X=1;"}, 38, "1"},
        {{"A:X=1;", "A:Y=1;"}, 39, "A", 3},
        {{"\\GOTO{A_B};"}, 40, "_"},
        {{"\\GOTO{1A};"}, 41, "1"},
        {{"\\GOTO{FIM};"}, 42, "FIM", 3},
        {{"\\GOTO{};"}, 51, ""},
        {{"\\DECIMAL{X_Y};"}, 56, "_"},
        {{"\\EVALUATE{:X:0:1:1:T};"}, 60, ""},
        {{"\\EVALUATE{X:X::1:1:T};"}, 61, ""},
        {{"\\EVALUATE{X:X:0::1:T};"}, 62, ""},
        {{"\\EVALUATE{X:X:0:1::T};"}, 63, ""},
        {{"\\EVALUATE{X::0:1:1:T};"}, 64, ""},
        {{"\\EVALUATE{X:X:0:1:1};"}, 111, ""},
        {{"X=;"}, 71, ""},
        {{"\\SAVEEXPRESSION{X};"}, 72, ""},
        {{"\\SAVEEXPRESSION{=X};"}, 73, ""},
        {{"\\SAVEEXPRESSION{X=};"}, 74, ""},
        {{"\\PRINT{+X};"}, 75, ""},
        {{"\\PRINT{X+};"}, 76, ""},
        {{"\\PRINT{};"}, 78, ""},
        {{"\\PRINT{\"\"+X};"}, 79, ""},
        {{"\\PRINT{\"A\"+X-Y};"}, 9, "-"},
        {{"\\IMPORTTABELARO{NADA};"}, 80, "NADA"},
        {{"\\IMPORTTABELARO{DADOS};"}, 111, ""},
        {{"\\IMPORTTEXT{DADOS};"}, 111, ""},
        {{"\\EXPORTTEXT{NOVO};"}, 111, ""},
        {{"Y=A+", "B"}, 6, "\\", 4},  // the statement ran into END
        {{"INX-Y;"}, 9, "-"},
        {{"X=1 %{ unclosed;"}, 6, "%"},  // an unclosed comment stays
    };
    for (const CasoErro& caso : casos) {
        traduz(caso.corpo);
        const std::string nome = caso.corpo.front();
        EXPECT_EQ(e().numera.estadoNumera, 2) << nome;
        EXPECT_EQ(e().numera.codigoErro, caso.codigo) << nome;
        EXPECT_EQ(e().numera.parametroErro, caso.parametro) << nome;
        EXPECT_EQ(e().numera.linhaErro, caso.linha) << nome;
    }
    fs::current_path(antes);
}

// The exchange files are looked for in the document's folder, whatever folder the editor
// started in; the translator makes none, and refuses (error 96) what is not a plain file of
// that folder: a FIFO (which would block it for ever), a name or a link leading out.
TEST_F(TradutorNumera, ExchangeFilesArePlainFilesOfTheDocumentsFolderAndNoneIsMade) {
    std::ofstream(pasta_ / "SONARE.INI") << "[PLUMAR]\nSEPARADORDECIMAL=,\n";
    const fs::path documentos = pasta_ / "documentos", fora = pasta_ / "fora";
    fs::create_directories(documentos);
    fs::create_directories(fora);
    gravaArquivoTeste(documentos / "DADOS.csv", "1;2\r\n");
    ASSERT_EQ(::mkfifo((documentos / "CANO.txt").c_str(), 0600), 0);
    fs::create_symlink(fora, documentos / "SUB");
    fs::create_symlink("../fora/alvo.csv", documentos / "LIGA.csv");
    e().ed.nomeArquivo = (documentos / "programa.txt").string();
    const std::vector<CasoErro> casos = {
        {{"\\EXPORTTEXT{CANO,1,1,X};"}, 96, "CANO"},
        {{"\\IMPORTTEXT{CANO,1,2,1,1,STRA};"}, 96, "CANO"},
        {{"\\EXPORTTEXT{SUB/T9,1,1,X};"}, 96, "SUB/T9"},
        {{"\\EXPORTTABELARO{LIGA,1,1,X};"}, 96, "LIGA"},
        {{"\\IMPORTTABELARO{NOVO,1,1,1,X};"}, 80, "NOVO"},
    };
    for (const CasoErro& caso : casos) {
        traduz(caso.corpo);
        EXPECT_EQ(e().numera.codigoErro, caso.codigo) << caso.corpo.front();
        EXPECT_EQ(e().numera.parametroErro, caso.parametro) << caso.corpo.front();
    }
    // A file an export will make can be imported after it; nothing is made before the run.
    traduz({"\\IMPORTTABELARO{DADOS,1,1,1,X};", "\\EXPORTTEXT{NOVO,1,1,X};",
            "\\IMPORTTEXT{NOVO,1,2,1,1,STRA};"});
    EXPECT_EQ(e().numera.estadoNumera, 1) << e().numera.codigoErro;
    EXPECT_FALSE(fs::exists(documentos / "NOVO.txt"));
    EXPECT_TRUE(fs::is_empty(fora));
}

TEST_F(TradutorNumera, InputStatementsAskWhileTranslating) {
    Variavel c("LC_ALL", "C");
    abre("- 2,5{Enter}ola{Enter}2(a){Enter}{Esc}");
    ed().diretorioMensagens = "c:\\ornato\\plumar\\";
    traduz({"IN X;", "in strnome;", "IN Y;"});
    EXPECT_EQ(corpoCodigo(), (Linhas{"\\EXPRESSION{X=0-2.5};", "\\EXPRESSION{STRNOME=OLA};",
                                     "\\EXPRESSION{Y=2*(A)};"}));
    EXPECT_TRUE(ouviu(ouvido(), "som \\COMANDOS\\PARAMETROS\\P110"));
    // Esc gives no value: the assignment has no expression.
    traduz({"IN X;"});
    EXPECT_EQ(e().numera.codigoErro, 71);
    EXPECT_EQ(e().numera.linhaErro, 2);
}

TEST_F(TradutorNumera, TheProgramIsFoundAroundTheCursorOrTheErrorSaysWhy) {
    Variavel c("LC_ALL", "C");
    texto({"X=1;", "\\END;"}, 1);
    traduzPrograma(e());
    EXPECT_EQ(e().numera.codigoErro, 4);
    EXPECT_EQ(e().numera.linhaErro, 0);

    texto({"a", "\\BEGIN;", "X=1;", "b"}, 3);
    traduzPrograma(e());
    EXPECT_EQ(e().numera.codigoErro, 55);
    EXPECT_EQ(e().numera.linhaErro, 3);

    // A program of 3,002 statements is one too many.
    Linhas longo(3000, "X=1;");
    traduz(longo);
    EXPECT_EQ(e().numera.codigoErro, 5);
    EXPECT_EQ(e().numera.linhaErro, 3002);
}

TEST_F(TradutorNumera, UnderTheBrazilianLocaleTheSeparatorIsTheComma) {
    {
        Variavel c("LC_ALL", "C");
        EXPECT_EQ(separadorDecimal(), '.');
    }
    const std::string pasta = pastaLocalePtBr();
    if (pasta.empty()) GTEST_SKIP() << "localedef could not build pt_BR";
    Variavel locpath("LOCPATH", pasta);
    Variavel local("LC_ALL", "pt_BR.UTF-8");
    EXPECT_EQ(separadorDecimal(), ',');
    traduz({"X=1.5+2,5;", "\\VARRESULT{A,M_NB[1,2]};", "M_NA[2,3]=M_NB[1,2]+1;"});
    EXPECT_EQ(corpoCodigo(), (Linhas{"\\EXPRESSION{X=1,5+2,5};", "\\VARRESULT{A,M_NB[1a2]};",
                                     "\\EXPRESSION{M_NA[2a3]=M_NB[1a2]+1};"}));
    const std::vector<CasoErro> casos = {{{"\\VARRESULT{A,,B};"}, 25, ""},
                                         {{"\\VARRESULT{,A};"}, 26, ""},
                                         {{"\\VARRESULT{A,};"}, 27, ""},
                                         {{"X=,5;"}, 31, ""}};
    for (const CasoErro& caso : casos) {
        traduz(caso.corpo);
        EXPECT_EQ(e().numera.codigoErro, caso.codigo) << caso.corpo.front();
    }
}

// SEPARADORDECIMAL wins over the locale: with "," lists keep their commas under the C
// locale; a line that fails on a character the rule put there says so, with either choice.
TEST_F(TradutorNumera, TheConfiguredSeparatorWinsOverTheLocaleAndErrorsSayWhenItIsToBlame) {
    Variavel c("LC_ALL", "C");
    auto separador = [&](const char* valor) {
        std::ofstream(pasta_ / "SONARE.INI") << "[PLUMAR]\nSEPARADORDECIMAL=" << valor << "\n";
    };
    separador(",");
    traduz({"X=1.5+2,5;", "\\VARRESULT{A,M_NB[1,2]};"});
    EXPECT_EQ(corpoCodigo(), (Linhas{"\\EXPRESSION{X=1,5+2,5};", "\\VARRESULT{A,M_NB[1a2]};"}));
    EXPECT_TRUE(e().numera.notaErro.empty());
    traduz({"X=.5;"});
    EXPECT_EQ(e().numera.codigoErro, 31);
    EXPECT_EQ(e().numera.notaErro.rfind("Separador decimal: o ponto", 0), 0u) << e().numera.notaErro;
    traduz({"X=,5;"});  // the user's own comma: nothing to say about the rule
    EXPECT_EQ(e().numera.codigoErro, 31);
    EXPECT_TRUE(e().numera.notaErro.empty());

    separador(".");
    traduz({"\\VARRESULT{A,B};"});
    EXPECT_EQ(e().numera.estadoNumera, 2);
    const std::vector<std::string> linhas = linhasErroNumera(e().numera);
    ASSERT_GE(linhas.size(), 3u);
    EXPECT_EQ(linhas[linhas.size() - 2].rfind("Separador decimal: a v\xEDrgula", 0), 0u) << linhas[1];
    EXPECT_EQ(linhas.back(), "Linha: 2");
}

}  // namespace
