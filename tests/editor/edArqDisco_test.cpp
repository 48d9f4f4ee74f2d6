#include "editor/edArqDisco.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <random>

#include "apoio.h"

namespace fs = std::filesystem;

namespace {

using Linhas = std::vector<std::string>;

Linhas linhasDe(std::string_view bytes, bool* dividiu = nullptr) {
    bool d = false;
    Linhas l = separaLinhas(bytes, d);
    if (dividiu) *dividiu = d;
    return l;
}

// ------------------------------------------------------------------ reading rules

TEST(LeituraLinhas, LastLineWithoutLineEndIsKept) {
    EXPECT_EQ(linhasDe("um\r\ndois"), (Linhas{"um", "dois"}));
    EXPECT_EQ(linhasDe("só"), (Linhas{"só"}));
}

TEST(LeituraLinhas, TrailingLineEndMakesNoEmptyLine) {
    EXPECT_EQ(linhasDe("um\r\ndois\r\n"), (Linhas{"um", "dois"}));
    EXPECT_EQ(linhasDe("um\n\n"), (Linhas{"um", ""}));
    EXPECT_EQ(linhasDe("\r\n"), (Linhas{""}));
    EXPECT_EQ(linhasDe(""), Linhas{});
}

TEST(LeituraLinhas, CrLfCrAndLfEachEndOneLine) {
    EXPECT_EQ(linhasDe("a\rb\nc\r\nd"), (Linhas{"a", "b", "c", "d"}));
    EXPECT_EQ(linhasDe("a\r\r\nb"), (Linhas{"a", "", "b"}));  // CR CR LF: one empty line
    EXPECT_EQ(linhasDe("a\n\rb"), (Linhas{"a", "", "b"}));    // LF CR is two line ends
}

TEST(LeituraLinhas, TabIsEightBlanksOtherControlsAreHash) {
    EXPECT_EQ(linhasDe(std::string("\tx\fy\0z\x1b", 7)), (Linhas{"        x#y#z#"}));
    EXPECT_EQ(linhasDe("\x7f\xe7\xff"), (Linhas{"\x7f\xe7\xff"}));  // only codes below 32
}

TEST(LeituraLinhas, LongLineSplitsAtTheBlankAfter160) {
    bool dividiu = false;
    const std::string linha = std::string(164, 'a') + " " + std::string(5, 'b');  // 170
    EXPECT_EQ(linhasDe(linha + "\r\nfim", &dividiu),
              (Linhas{std::string(164, 'a'), "bbbbb", "fim"}));
    EXPECT_TRUE(dividiu);
    // The blanks after the split are dropped, and so is the line end right after them.
    EXPECT_EQ(linhasDe(std::string(170, 'a') + "    \r\nx"), (Linhas{std::string(170, 'a'), "x"}));
}

TEST(LeituraLinhas, BlankAtOrBefore161DoesNotSplit) {
    bool dividiu = true;
    const std::string linha = std::string(160, 'a') + " " + std::string(10, 'b');
    EXPECT_EQ(linhasDe(linha, &dividiu), (Linhas{linha}));
    EXPECT_FALSE(dividiu);
}

TEST(LeituraLinhas, LineWithoutBlanksEndsAt180) {
    bool dividiu = false;
    EXPECT_EQ(linhasDe(std::string(400, 'x'), &dividiu),
              (Linhas{std::string(180, 'x'), std::string(180, 'x'), std::string(40, 'x')}));
    EXPECT_TRUE(dividiu);
    // A line end right after the split adds no empty line; the next one does.
    EXPECT_EQ(linhasDe(std::string(360, 'x') + "\r\n\r\ny"),
              (Linhas{std::string(180, 'x'), std::string(180, 'x'), "", "y"}));
}

TEST(LeituraLinhas, TabPastTheSplitPointEndsTheLine) {
    EXPECT_EQ(linhasDe(std::string(162, 'a') + "\tb"), (Linhas{std::string(162, 'a'), "b"}));
    // Before it, its blanks count as characters of the line.
    EXPECT_EQ(linhasDe(std::string(150, 'a') + "\tb"),
              (Linhas{std::string(150, 'a') + std::string(8, ' ') + "b"}));
}

TEST(LeituraLinhas, PiecesOfAnySizeGiveTheSameLines) {
    std::mt19937 sorte(7);
    const std::string alfabeto = "aaaaaaaaaaaaaaa      \r\n\t\x01";
    std::string bytes;
    for (int i = 0; i < 20000; ++i) bytes += alfabeto[sorte() % alfabeto.size()];
    bytes += std::string(500, 'z') + "\r";  // a CR at the very end of a piece
    bool dividiuInteiro = false;
    const Linhas inteiro = linhasDe(bytes, &dividiuInteiro);
    for (int rodada = 0; rodada < 5; ++rodada) {
        Linhas pedacos;
        LeitorLinhas leitor([&pedacos](std::string_view l) { pedacos.emplace_back(l); });
        for (size_t i = 0; i < bytes.size();) {
            const size_t n = std::min<size_t>(1 + sorte() % 7, bytes.size() - i);
            leitor.alimenta(std::string_view(bytes).substr(i, n));
            i += n;
        }
        leitor.termina();
        EXPECT_EQ(pedacos, inteiro);
        EXPECT_EQ(leitor.dividiu(), dividiuInteiro);
    }
    // CR at the end of one piece and LF at the start of the next: one line end.
    Linhas l;
    LeitorLinhas leitor([&l](std::string_view s) { l.emplace_back(s); });
    leitor.alimenta("a\r");
    leitor.alimenta("\nb");
    leitor.termina();
    EXPECT_EQ(l, (Linhas{"a", "b"}));
}

TEST(LeituraLinhas, TenMegabyteLineLosesNoCharacter) {
    std::string linha;
    while (linha.size() < 10'000'000) linha += "palavra" + std::to_string(linha.size() % 97) + " ";
    bool dividiu = false;
    const Linhas l = linhasDe(linha, &dividiu);
    EXPECT_TRUE(dividiu);
    EXPECT_GT(l.size(), 10'000'000u / 180);
    std::string juntas;
    for (const std::string& s : l) {
        EXPECT_LE(s.size(), 180u);
        juntas += s;
    }
    // Only the blanks at the splits are gone.
    std::erase(juntas, ' ');
    std::erase(linha, ' ');
    EXPECT_EQ(juntas, linha);
}

// ------------------------------------------------------------------ reading files

TEST(LeituraArquivo, StatesOfTheFile) {
    PastaTemporaria pasta;
    gravaArquivoTeste(pasta / "a.txt", "um\r\ndois\r\n");
    Linhas l;
    LeitorLinhas leitor([&l](std::string_view s) { l.emplace_back(s); });
    EXPECT_EQ(leArquivoTexto(pasta / "a.txt", leitor), EstadoLeitura::Lido);
    EXPECT_EQ(l, (Linhas{"um", "dois"}));
    EXPECT_EQ(leArquivoTexto(pasta / "nada.txt", leitor), EstadoLeitura::NaoExiste);
    EXPECT_EQ(leArquivoTexto(pasta / "nada/x.txt", leitor), EstadoLeitura::NaoExiste);
    EXPECT_EQ(leArquivoTexto(pasta.caminho(), leitor), EstadoLeitura::Ilegivel);
    // A device is never read: it could give data forever.
    EXPECT_EQ(leArquivoTexto("/dev/zero", leitor), EstadoLeitura::Ilegivel);
    EXPECT_EQ(l.size(), 2u);
    EXPECT_TRUE(podeAbrir(pasta / "a.txt"));
    EXPECT_FALSE(podeAbrir(pasta.caminho()));
    EXPECT_FALSE(podeAbrir(pasta / "nada.txt"));
}

TEST(LeituraArquivo, ReadErrorKeepsWhatCameBefore) {
    // This file looks regular, but reading it from its start is an I/O error.
    struct stat info {};
    if (::stat("/proc/self/mem", &info) != 0 || !S_ISREG(info.st_mode))
        GTEST_SKIP() << "no /proc/self/mem";
    Linhas l;
    LeitorLinhas leitor([&l](std::string_view s) { l.emplace_back(s); });
    leitor.alimenta("antes\r\nmeia");  // what an earlier piece brought
    EXPECT_EQ(leArquivoTexto("/proc/self/mem", leitor), EstadoLeitura::ErroNoMeio);
    EXPECT_EQ(l, (Linhas{"antes", "meia"}));
}

// ------------------------------------------------------------------ names

TEST(NomesSistema, SeparatorsAndCharacterSets) {
    EXPECT_EQ(caminhoSistema("a\\b/c.txt"), fs::path("a/b/c.txt"));
    EXPECT_EQ(caminhoSistema("/x/"), fs::path("/x/"));
    EXPECT_EQ(caminhoSistema("a\xe7\xe3o.txt"), fs::path("a\xc3\xa7\xc3\xa3o.txt"));
    EXPECT_EQ(nomeEditor("a\xc3\xa7\xc3\xa3o.txt"), "a\xe7\xe3o.txt");
    // A name on disk that is not UTF-8 is found with its own bytes.
    PastaTemporaria pasta;
    gravaArquivoTeste(pasta / "caf\xe9.txt", "x");
    const std::string nome = nomeEditor(pasta / "caf\xe9.txt");
    EXPECT_EQ(caminhoSistema(nome), pasta / "caf\xe9.txt");
    EXPECT_TRUE(podeAbrir(caminhoSistema(nome)));
}

// ------------------------------------------------------------------ writing

fs::perms permissoes(const fs::path& p) {
    return fs::status(p).permissions();
}

std::vector<std::string> conteudoPasta(const fs::path& p) {
    std::vector<std::string> v;
    for (const auto& e : fs::directory_iterator(p)) v.push_back(e.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
}

bool grava(const fs::path& destino, const std::string& bytes) {
    GravacaoSegura g(destino);
    if (!g.criada()) return false;
    g.escreve(bytes);
    return g.conclui();
}

TEST(GravacaoSeguraTeste, ReplacesTheFileKeepingItsPermissions) {
    PastaTemporaria pasta;
    gravaArquivoTeste(pasta / "a.txt", "velho");
    fs::permissions(pasta / "a.txt", fs::perms(0640));
    EXPECT_TRUE(grava(pasta / "a.txt", "novo\r\n"));
    EXPECT_EQ(leArquivo(pasta / "a.txt"), "novo\r\n");
    EXPECT_EQ(permissoes(pasta / "a.txt"), fs::perms(0640));
    EXPECT_EQ(conteudoPasta(pasta.caminho()), std::vector<std::string>{"a.txt"});
}

TEST(GravacaoSeguraTeste, NewFileGetsTheUsualPermissions) {
    PastaTemporaria pasta;
    const mode_t mascara = ::umask(027);
    EXPECT_TRUE(grava(pasta / "novo.txt", "x"));
    ::umask(mascara);
    EXPECT_EQ(permissoes(pasta / "novo.txt"), fs::perms(0640));
}

TEST(GravacaoSeguraTeste, NotConcludedLeavesTheOldFileAndNoTemporary) {
    PastaTemporaria pasta;
    gravaArquivoTeste(pasta / "a.txt", "velho");
    {
        GravacaoSegura g(pasta / "a.txt");
        ASSERT_TRUE(g.criada());
        g.escreve("metade");
        EXPECT_EQ(conteudoPasta(pasta.caminho()).size(), 2u);  // the temporary beside it
    }
    EXPECT_EQ(leArquivo(pasta / "a.txt"), "velho");
    EXPECT_EQ(conteudoPasta(pasta.caminho()), std::vector<std::string>{"a.txt"});
}

TEST(GravacaoSeguraTeste, WhatCannotBeCreated) {
    PastaTemporaria pasta;
    fs::create_directory(pasta / "pasta.txt");
    EXPECT_FALSE(GravacaoSegura(pasta / "pasta.txt").criada());
    EXPECT_FALSE(GravacaoSegura(pasta / "nao/existe.txt").criada());
    EXPECT_FALSE(GravacaoSegura(pasta / (std::string(300, 'n') + ".txt")).criada());
    EXPECT_FALSE(grava(pasta / "pasta.txt", "x"));
    EXPECT_TRUE(fs::is_directory(pasta / "pasta.txt"));
    // The longest name a folder takes still gets its temporary file.
    const std::string longo = std::string(251, 'l') + ".txt";
    EXPECT_TRUE(grava(pasta / longo, "x"));
    EXPECT_EQ(leArquivo(pasta / longo), "x");
}

TEST(GravacaoSeguraTeste, LinkStaysALinkToTheSavedFile) {
    PastaTemporaria pasta;
    gravaArquivoTeste(pasta / "real.txt", "velho");
    fs::create_symlink("real.txt", pasta / "atalho.txt");
    EXPECT_TRUE(grava(pasta / "atalho.txt", "novo"));
    EXPECT_TRUE(fs::is_symlink(pasta / "atalho.txt"));
    EXPECT_EQ(leArquivo(pasta / "real.txt"), "novo");
}

TEST(GravacaoSeguraTeste, DeviceIsWrittenInPlaceAndItsErrorsReported) {
    EXPECT_TRUE(grava("/dev/null", "x"));
    EXPECT_FALSE(grava("/dev/full", std::string(5000, 'x')));
    EXPECT_TRUE(fs::is_character_file("/dev/full"));  // never replaced by a file
}

// Files of this process may not grow past `limite` bytes: writing past it is an error
// (EFBIG), as on a full disk, without needing one.
class LimiteTamanho {
  public:
    explicit LimiteTamanho(rlim_t limite) {
        sinal_ = ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &antigo_);
        rlimit novo = antigo_;
        novo.rlim_cur = limite;
        ::setrlimit(RLIMIT_FSIZE, &novo);
    }
    ~LimiteTamanho() {
        ::setrlimit(RLIMIT_FSIZE, &antigo_);
        ::signal(SIGXFSZ, sinal_);
    }

  private:
    rlimit antigo_{};
    sighandler_t sinal_;
};

TEST(GravacaoSeguraTeste, FailedWriteLeavesTheOldFileWhole) {
    PastaTemporaria pasta;
    const std::string velho = std::string(100000, 'v');
    gravaArquivoTeste(pasta / "a.txt", velho);
    bool gravou;
    {
        LimiteTamanho limite(64 * 1024);
        gravou = grava(pasta / "a.txt", std::string(300000, 'n'));
    }
    EXPECT_FALSE(gravou);
    EXPECT_EQ(leArquivo(pasta / "a.txt"), velho);
    EXPECT_EQ(conteudoPasta(pasta.caminho()), std::vector<std::string>{"a.txt"});
}

// A small memory file system mounted for one test; skipped where mounting is not allowed.
class SistemaPequeno {
  public:
    explicit SistemaPequeno(const fs::path& onde) : onde_(onde) {
        fs::create_directories(onde);
        montado_ = ::mount("tmpfs", onde.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~SistemaPequeno() {
        if (montado_) ::umount2(onde_.c_str(), MNT_DETACH);
    }
    bool montado() const { return montado_; }
    bool soLeitura() {
        return ::mount("tmpfs", onde_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, "size=64k") == 0;
    }

  private:
    fs::path onde_;
    bool montado_ = false;
};

TEST(GravacaoSeguraTeste, FullDiskLeavesTheOldFileWhole) {
    PastaTemporaria pasta;
    SistemaPequeno disco(pasta / "disco");
    if (!disco.montado()) GTEST_SKIP() << "tmpfs cannot be mounted here";
    const std::string velho = std::string(20000, 'v');
    gravaArquivoTeste(pasta / "disco/a.txt", velho);
    EXPECT_FALSE(grava(pasta / "disco/a.txt", std::string(200000, 'n')));
    EXPECT_EQ(leArquivo(pasta / "disco/a.txt"), velho);
    EXPECT_EQ(conteudoPasta(pasta / "disco"), std::vector<std::string>{"a.txt"});
    EXPECT_TRUE(grava(pasta / "disco/a.txt", "cabe"));  // room again once it fits
    EXPECT_EQ(leArquivo(pasta / "disco/a.txt"), "cabe");
}

TEST(GravacaoSeguraTeste, ReadOnlyFolderCannotBeCreatedIn) {
    PastaTemporaria pasta;
    SistemaPequeno disco(pasta / "disco");
    if (!disco.montado()) GTEST_SKIP() << "tmpfs cannot be mounted here";
    gravaArquivoTeste(pasta / "disco/a.txt", "velho");
    if (!disco.soLeitura()) GTEST_SKIP() << "cannot remount read-only";
    EXPECT_FALSE(GravacaoSegura(pasta / "disco/a.txt").criada());
    EXPECT_FALSE(GravacaoSegura(pasta / "disco/b.txt").criada());
    EXPECT_EQ(leArquivo(pasta / "disco/a.txt"), "velho");
}

}  // namespace
