// The run-time on code files written here as the translator writes them (commas kept, as
// under a locale whose separator is the comma), its files in the document's folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "console/teclaFila.h"
#include "editor/sessao.h"
#include "mathmode/EDNUMERACOMPILA.h"
#include "mathmode/EDNUMERAVARS.h"

namespace fs = std::filesystem;

namespace {

class ExecucaoNumera : public SessaoEdicao {
  protected:
    // Runs the statements (BEGIN and END added); statement i (0 = BEGIN) begins on document
    // line 10 + i.
    std::vector<std::string> executa(const std::vector<std::string>& instrucoes,
                                     std::vector<EtiquetaNumera> etiquetas = {}) {
        std::vector<std::string> codigo{"\\BEGIN{INICIO};"};
        for (const std::string& i : instrucoes) codigo.push_back(i);
        codigo.emplace_back("\\END{FINAL};");
        EstadoNumera& n = e().numera;
        n = EstadoNumera{};
        for (size_t i = 0; i < codigo.size(); ++i) n.mapaLinhas[i] = 10 + static_cast<int>(i);
        n.etiquetas = std::move(etiquetas);
        e().ed.nomeArquivo = (documentos_ / "programa.txt").string();
        return executaPrograma(e(), codigo);
    }
    std::vector<std::string> arquivo(const std::string& nome) {
        return leLinhasNumera(documentos_ / nome);
    }
    void SetUp() override {
        SessaoEdicao::SetUp();
        fs::create_directories(documentos_);
    }
    const fs::path documentos_ = pasta_ / "documentos";
};

// What one statement writes to a file another reads back: spreadsheet cells, text columns,
// memory dumps, the function table and the user's constants.
TEST_F(ExecucaoNumera, ExchangeFilesRoundTrip) {
    const auto r = executa({"\\EXPRESSION{A=1.5};", "\\EXPRESSION{STRB=OLA};",
                            "\\EXPORTTABELARO{DADOS,2,3,A};", "\\IMPORTTABELARO{DADOS,2,3,3,X};",
                            "\\EXPRESSION{V_NB[1]=0};", "\\IMPORTTABELARO{DADOS,2,2,3,V_NB[1]};",
                            "\\EXPORTTEXT{TXT,3,2,STRB};", "\\EXPORTTEXT{TXT,4,2,A,TRUE};",
                            "\\IMPORTTEXT{TXT,3,6,2,2,STRC};", "\\SAVEMEMORY{MEM};",
                            "\\EXPRESSION{A=0};", "\\READMEMORY{MEM};", "\\VARRESULT{A,X,STRC};",
                            "\\VARRESULT{V_NB[1],V_NB[2]};", "\\EVALUATE{SQR*(X):X:0:1:0.5:T};",
                            "\\SAVECONSTANT{A};"});
    EXPECT_EQ(r, (std::vector<std::string>{"A = 1.5", "X = 1.5", "STRC = O1.5", "V_NB[1] = 0",
                                           "V_NB[2] = 1.5"}));
    EXPECT_EQ(arquivo("DADOS.csv"), (std::vector<std::string>{"", "", ";1.5"}));
    EXPECT_EQ(arquivo("TXT.txt"), (std::vector<std::string>{"", "  O1.5     "}));
    const auto memoria = arquivo("MEM.csv");
    EXPECT_NE(std::find(memoria.begin(), memoria.end(), "STRC;O1.5"), memoria.end());
    EXPECT_EQ(std::count_if(memoria.begin(), memoria.end(),
                            [](const std::string& l) { return l.starts_with("IFOR"); }), 0);
    EXPECT_EQ(arquivo("FUNCT-T.csv"),
              (std::vector<std::string>{"Fun\xE7\xE3o: SQR*(X);Vari\xE1vel: X", "0;0", "0.5;0.25",
                                        "1;1"}));
    EXPECT_EQ(leLinhasNumera(arquivoNumeraEscrita("constantesUsuario.txt")),
              (std::vector<std::string>{"", "A", "1.5"}));

    // The saved constant wins over the variable of the same name in the next run.
    EXPECT_EQ(executa({"\\EXPRESSION{B=A*2};", "\\VARRESULT{B};", "\\DELETECONSTANT{vacio};"}),
              (std::vector<std::string>{"B = 3"}));
    EXPECT_EQ(leLinhasNumera(arquivoNumeraEscrita("constantesUsuario.txt")),
              (std::vector<std::string>{""}));
}

// A student's program: measurements read from a spreadsheet file, their mean and standard
// deviation computed in loops, a result table exported.
TEST_F(ExecucaoNumera, AStudentsMeasurementsGiveMeanAndDeviation) {
    std::ofstream(documentos_ / "medidas.csv", std::ios::binary)
        << "medida;valor\r\n1;2\r\n2;4\r\n3;4\r\n4;4\r\n5;5\r\n6;5\r\n7;7\r\n8;9\r\n";
    const auto r = executa({"\\IMPORTTABELARO{MEDIDAS,2,2,9,V_NX[1]};", "\\EXPRESSION{S=0};",
                            "\\FOR{I=1:8};", "\\EXPRESSION{S=S+V_NX[I]};", "\\CONTINUE{vacio};",
                            "\\EXPRESSION{MEDIA=S/8};", "\\EXPRESSION{Q=0};", "\\FOR{I=1:8};",
                            "\\EXPRESSION{Q=Q+SQR*(V_NX[I]-MEDIA)};", "\\CONTINUE{vacio};",
                            "\\EXPRESSION{DP=SQRT*(Q/8)};", "\\EXPORTTABELARO{RESUMO,1,1,MEDIA};",
                            "\\EXPORTTABELARO{RESUMO,2,1,DP};", "\\VARRESULT{MEDIA,DP};"});
    EXPECT_EQ(r, (std::vector<std::string>{"MEDIA = 5", "DP = 2"}));
    EXPECT_EQ(arquivo("RESUMO.csv"), (std::vector<std::string>{"5;2"}));
}

// An error replaces the output with its lines at the statement's document line; Esc
// abandons the run as a system error.
TEST_F(ExecucaoNumera, ErrorsReplaceTheOutputAndEscAbandons) {
    EXPECT_EQ(executa({"\\PRINT{\"ANTES\"};", "\\EXPRESSION{Y=1/0};"}),
              (std::vector<std::string>{"#E59 Erro: Divis\xE3o por 0.", "Linha: 12"}));
    EXPECT_EQ(e().numera.linhaErro, 12);
    EXPECT_EQ(executa({"\\FOR{I=3:1};", "\\CONTINUE{vacio};"}).at(1),
              "Par\xE2metro err\xF4neo: 3>=1");
    EXPECT_EQ(e().numera.codigoErro, 58);
    EXPECT_EQ(executa({"\\CONTINUE{vacio};"}).front().substr(0, 4), "#E48");
    EXPECT_EQ(executa({"\\IF{1<2};"}).front().substr(0, 4), "#E49");
    // A file name that would leave the document's folder is refused.
    EXPECT_EQ(executa({"\\SAVEMEMORY{../FORA};"}).front().substr(0, 4), "#E96");
    EXPECT_FALSE(fs::exists(pasta_ / "FORA.csv"));

    // The user presses Esc while an endless loop runs.
    int vezes = 0;
    crt().aoBombear([&](bool) {
        if (++vezes == 100) pressionaTecla(crt(), 27);
    });
    const auto r = executa({"\\WHILE{1<2};", "\\EXPRESSION{X=1};", "\\CONTINUE{vacio};"});
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0], "#E118 Erro: Execu\xE7\xE3o abortada pelo usu\xE1rio.");
    EXPECT_TRUE(r[1].starts_with("Linha: 1"));
    EXPECT_EQ(r[2], "#E05 Erro do sistema.");
    EXPECT_EQ(e().numera.estadoNumera, 2);
    EXPECT_EQ(e().numera.codigoErro, 5);
}

// A program received from someone else touches no file outside the document's folder:
// links leading out (dangling or not), a hard link to an outside file and a FIFO are
// refused with error 96 and left as they were; a link to a file of the folder is followed
// and stays a link. A slip such as row 100000000 is refused (error 5), nothing written.
TEST_F(ExecucaoNumera, ExchangeFilesNeverReachOutsideTheFolder) {
    const fs::path fora = pasta_ / "fora";
    fs::create_directories(fora);
    gravaArquivoTeste(fora / "alvo.txt", "segredo\r\n");
    fs::create_symlink(fora, documentos_ / "SUB");
    fs::create_symlink("../fora/alvo.txt", documentos_ / "LIGA.txt");
    fs::create_symlink("../fora/novo.txt", documentos_ / "SOLTA.txt");
    fs::create_hard_link(fora / "alvo.txt", documentos_ / "DURO.txt");
    ASSERT_EQ(::mkfifo((documentos_ / "CANO.csv").c_str(), 0600), 0);
    for (const char* instrucao :
         {"\\EXPORTTEXT{SUB/T9,1,1,A};", "\\EXPORTTEXT{LIGA,1,1,A};", "\\EXPORTTEXT{SOLTA,1,1,A};",
          "\\EXPORTTEXT{DURO,1,1,A,TRUE};", "\\IMPORTTEXT{DURO,1,3,1,1,STRA};",
          "\\EXPORTTABELARO{CANO,1,1,A};", "\\IMPORTTABELARO{CANO,1,1,1,A};", "\\SAVEMEMORY{CANO};"}) {
        const auto r = executa({"\\EXPRESSION{A=1};", instrucao});
        EXPECT_EQ(r.front().substr(0, 4), "#E96") << instrucao;
    }
    EXPECT_EQ(leArquivo(fora / "alvo.txt"), "segredo\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(fora), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::is_fifo(documentos_ / "CANO.csv"));

    gravaArquivoTeste(documentos_ / "dados.csv", "1;2\r\n");
    fs::create_symlink("dados.csv", documentos_ / "PROPRIO.csv");
    EXPECT_EQ(executa({"\\EXPRESSION{A=7};", "\\EXPORTTABELARO{PROPRIO,2,1,A};"}), std::vector<std::string>{});
    EXPECT_EQ(arquivo("dados.csv"), (std::vector<std::string>{"1;7"}));
    EXPECT_TRUE(fs::is_symlink(documentos_ / "PROPRIO.csv"));

    for (const char* instrucao : {"\\EXPORTTEXT{TX,1,100000000,A};", "\\EXPORTTEXT{TX,100000000,1,A};",
                                  "\\EXPORTTABELARO{TX,100000000,1,A};", "\\IMPORTTEXT{dados,1,2,1,100000000,V_NA[1]};"})
        EXPECT_EQ(executa({"\\EXPRESSION{A=1};", instrucao}).front().substr(0, 4), "#E05") << instrucao;
    EXPECT_FALSE(fs::exists(documentos_ / "TX.txt"));
    EXPECT_FALSE(fs::exists(documentos_ / "TX.csv"));
}

// A GOTO whose label is never reached again stops with a clear error instead of looping.
TEST_F(ExecucaoNumera, GotoSkipsWrapsAndNeverHangs) {
    EXPECT_EQ(executa({"\\EXPRESSION{K=0};", "\\EXPRESSION{K=K+1};", "\\IF{K<3};", "\\GOTO{L};",
                       "\\CONTINUE{vacio};", "\\VARRESULT{K};"},
                      {{"L", 3}}),
              (std::vector<std::string>{"K = 3"}));
    EXPECT_EQ(executa({"\\GOTO{L};"}, {{"L", 50}}).front().substr(0, 4), "#E50");
}

}  // namespace
