#include "editor/commands/eddoc.h"

#include <sys/stat.h>

#include <chrono>
#include <iostream>

#include "editor/commands/edDocUti.h"
#include "editor/edArq.h"
#include "editor/sessao.h"

namespace fs = std::filesystem;

namespace {

class Documentos : public SessaoEdicao {
  protected:
    fs::path arq(const std::string& nome) { return pasta_.caminho() / nome; }
    void ini(const std::string& plumar) { gravaArquivoTeste(arq("SONARE.INI"), "[PLUMAR]\n" + plumar); }
    // A stand-in for a converter: a shell script of ours.
    fs::path programa(const std::string& nome, const std::string& corpo) {
        gravaArquivoTeste(arq(nome), "#!/bin/sh\n" + corpo);
        chmod(arq(nome).c_str(), 0755);
        return arq(nome);
    }
    // Opens `nome` answering the questions with `teclas`.
    bool abreDocumento(const std::string& nome, const std::string& teclas) {
        abre(teclas);
        ed().nomeArquivo = arq(nome).string();
        return carregaArquivo(e());
    }
};

bool instalado(const char* nome) {
    return !achaConversor("", {nome}).empty();
}

TEST_F(Documentos, DocAndRtfAreConvertedByTheSmallConvertersWhenLibreOfficeIsMissing) {
    struct Caso {
        const char* conversor;  // none: the own RTF reader, always there
        std::string nome, conteudo;
    };
    const std::string rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Ol\\'e1 mundo\\par segunda linha\\par}";
    const Caso casos[] = {
        // a .doc that is really plain text
        {"catdoc", "carta.doc", "Ol\xE1 mundo\nsegunda linha\n"},
        {"unrtf", "carta.rtf", rtf},
        {nullptr, "carta.rtf", rtf},
    };
    for (const Caso& c : casos) {
        ini(c.conversor ? "LIBREOFFICE=N\n" : "LIBREOFFICE=N\nUNRTF=N\n");
        if (c.conversor && !instalado(c.conversor)) {
            std::cout << "sem " << c.conversor << ": caso pulado\n";
            continue;
        }
        fs::remove(arq("carta.txt"));
        gravaArquivoTeste(arq(c.nome), c.conteudo);
        ASSERT_TRUE(abreDocumento(c.nome, "s")) << c.nome;
        EXPECT_EQ(ed().nomeArquivo, arq("carta.txt").string());
        EXPECT_EQ(ed().linha(1), "Ol\xE1 mundo") << c.nome;
        EXPECT_EQ(ed().linha(2), "segunda linha") << c.nome;
        const std::string r = rastro();
        EXPECT_TRUE(contemEmOrdem(r, {"mensagem EDDESCON", "mensagem EDAGUARD", "clique",
                                      "mensagem EDARQCRG"}))
            << r;
        fs::remove(arq(c.nome));
    }
}

// A converter that stops too late, fails or is missing is the case documento_conversao_falha;
// here one that ends well and writes nothing.
TEST_F(Documentos, AConverterThatWritesNothingFailsAndKeepsTheOldText) {
    gravaArquivoTeste(arq("carta.doc"), "qualquer coisa");
    gravaArquivoTeste(arq("carta.txt"), "texto antigo\r\n");
    ini("LIBREOFFICE=" + programa("mudo", "exit 0\n").string() + "\n");
    // S: convert again over carta.txt; then Esc at the name asked again.
    EXPECT_FALSE(abreDocumento("carta.doc", "s{Esc}"));
    EXPECT_TRUE(contemEmOrdem(rastro(), {"mensagem EDREESCR", "mensagem EDCNVFAL", "mensagem EDDIGNOM"}))
        << rastro();
    EXPECT_EQ(leArquivo(arq("carta.txt")), "texto antigo\r\n");
}

TEST_F(Documentos, ConvertedUtf8TextIsReadWithLongLinesAndForeignCharacters) {
    // A LibreOffice that writes what a real one writes: UTF-8 text in --outdir.
    const fs::path falso = programa(
        "soffice",
        "while [ $# -gt 1 ]; do [ \"$1\" = --outdir ] && saida=$2; shift; done\n"
        "nome=$(basename \"$1\" .docx)\n"
        "{ printf 'caf\\303\\251 \\342\\206\\222 fim\\n'; head -c 1000 /dev/zero | tr '\\0' a; "
        "printf '\\n'; } > \"$saida/$nome.txt\"\n");
    ini("LIBREOFFICE=" + falso.string() + "\n");
    gravaArquivoTeste(arq("nome com 'aspas' e \"mais\".docx"), "PK");
    ASSERT_TRUE(abreDocumento("nome com 'aspas' e \"mais\".docx", "{Enter}"));
    EXPECT_EQ(ed().nomeArquivo, arq("nome com 'aspas' e \"mais\".txt").string());
    EXPECT_EQ(ed().linha(1).substr(0, 5), "caf\xE9 ");
    EXPECT_GT(ed().nLinhas(), 6);  // the long line split as the loader splits it
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDLINGRA"));
}

TEST_F(Documentos, TheFontListIsReadOrMadeFromFontconfig) {
    ini("ARQFONTES=" + arq("fontes.ini").string() + "\n");
    abre("");
    if (instalado("fc-list")) {
        const std::vector<std::string> feitas = listaFontes(e());
        ASSERT_FALSE(feitas.empty());
        EXPECT_TRUE(std::is_sorted(feitas.begin(), feitas.end()));
        EXPECT_EQ(std::adjacent_find(feitas.begin(), feitas.end()), feitas.end());
        EXPECT_EQ(leArquivo(arq("fontes.ini")).substr(0, feitas[0].size() + 2), feitas[0] + "\r\n");
        // a list that cannot be kept is said, and offered all the same
        ini("ARQFONTES=" + arq("nao-ha/fontes.ini").string() + "\n");
        EXPECT_EQ(listaFontes(e()), feitas);
        EXPECT_TRUE(ouviu(ouvido(), "mensagem EDERRESC"));
        ini("ARQFONTES=" + arq("fontes.ini").string() + "\n");
    }
    gravaArquivoTeste(arq("fontes.ini"), "Zeta\r\n\r\n  Alfa Sans \n");
    EXPECT_EQ(listaFontes(e()), (std::vector<std::string>{"Zeta", "Alfa Sans"}));
    EXPECT_EQ(nomesDeFontes("DejaVu Sans,DejaVu Sans Light\nAbc\\-Def\nAbc\\-Def\n"),
              (std::vector<std::string>{"Abc-Def", "DejaVu Sans"}));
}

// A received folder with links planted where a conversion writes (the name the old writer
// used for its temporary file, the text's own name): nothing outside the folder changes,
// and the text becomes a file of its own.
TEST_F(Documentos, AConversionNeverWritesThroughALinkPlantedInTheFolder) {
    const fs::path conversor = programa("conversor", "echo convertido\n");
    ini("LIBREOFFICE=N\nUNRTF=" + conversor.string() + "\n");
    fs::create_directories(arq("recebida"));
    gravaArquivoTeste(arq("recebida/carta.rtf"), "{\\rtf1 x}");
    gravaArquivoTeste(arq("bashrc"), "meu\n");
    fs::create_symlink("../bashrc", arq("recebida/carta.txt.plumar-tmp"));
    ASSERT_TRUE(abreDocumento("recebida/carta.rtf", "s"));
    EXPECT_EQ(ed().linha(1), "convertido");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(arq("recebida/carta.txt"))));
    EXPECT_EQ(leArquivo(arq("bashrc")), "meu\n");

    fs::remove(arq("recebida/carta.txt"));
    fs::create_symlink("../bashrc", arq("recebida/carta.txt"));
    ASSERT_TRUE(abreDocumento("recebida/carta.rtf", "s"));  // written over, as asked
    EXPECT_TRUE(ouviu(ouvido(), "mensagem EDREESCR"));
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(arq("recebida/carta.txt"))));
    EXPECT_EQ(leArquivo(arq("recebida/carta.txt")), "convertido\n");
    EXPECT_EQ(leArquivo(arq("bashrc")), "meu\n");
}

}  // namespace
