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

struct CasoErro {
    Linhas corpo;
    int codigo;
    std::string parametro;
    int linha = 2;
};

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

}  // namespace
