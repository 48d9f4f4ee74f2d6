// The run-time on code files written here as the translator writes them (commas kept, as
// under a locale whose separator is the comma), its files in the document's folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

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

// A GOTO whose label is never reached again stops with a clear error instead of looping
// (Esc abandoning an endless loop is the numera_esc_e_limite case).
TEST_F(ExecucaoNumera, AnUnreachedLabelStops) {
    EXPECT_EQ(executa({"\\GOTO{L};"}, {{"L", 50}}).front().substr(0, 4), "#E50");
}

// A program received from someone else touches no file outside the document's folder:
// links leading out (dangling or not), a hard link to an outside file and a FIFO are
// refused with error 96 and left as they were, as is a name leading out; a link to a file of the folder is followed
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
          "\\EXPORTTABELARO{CANO,1,1,A};", "\\IMPORTTABELARO{CANO,1,1,1,A};", "\\SAVEMEMORY{CANO};",
          "\\SAVEMEMORY{../FORA};"}) {
        const auto r = executa({"\\EXPRESSION{A=1};", instrucao});
        EXPECT_EQ(r.front().substr(0, 4), "#E96") << instrucao;
    }
    EXPECT_EQ(leArquivo(fora / "alvo.txt"), "segredo\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(fora), fs::directory_iterator()), 1);
    EXPECT_TRUE(fs::is_fifo(documentos_ / "CANO.csv"));
    EXPECT_FALSE(fs::exists(pasta_ / "FORA.csv"));

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

}  // namespace
