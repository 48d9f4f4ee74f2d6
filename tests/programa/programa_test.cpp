// The program's start: the command line (a file handed over as a file:// address), the
// session put together (--audio-out, no sound device), the editor's first steps and its key
// loop.
#include "programa/programa.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <string_view>

#include "analiseSom.h"
#include "editor/edArqCopia.h"
#include "editor/edtela.h"
#include "editor/sessao.h"
#include "programa/linhaComando.h"
#include "programa/montagem.h"

namespace {

namespace fs = std::filesystem;

// The desktop hands a file over as a file:// address: the editor opens the local path it
// names, and refuses another machine's file rather than creating a file of that name.
TEST(EnderecoArquivo, FileAddressesBecomeTheLocalPathTheyNameOrAreRefused) {
    using V = std::vector<std::string>;
    const struct {
        V args, resto;
        bool recusado = false;  // another machine's file: the error names the address
    } casos[] = {
        {{"file:///home/ana/carta%20nova.txt"}, {"/home/ana/carta nova.txt"}},
        // Any case of the scheme and of localhost; escaped UTF-8 bytes come back as they were.
        {{"/L", "FILE://LocalHost/tmp/%C3%a1gua.txt"}, {"/L", "/tmp/\xC3\xA1gua.txt"}},
        // A query or fragment is not part of the file's name.
        {{"file:///tmp/a.txt?x=1#y"}, {"/tmp/a.txt"}},
        {{"file:///tmp/b.txt#y?x"}, {"/tmp/b.txt"}},
        // Broken escapes, and one that would put a NUL into the name, stay as written.
        {{"file:///tmp/100%.txt%4"}, {"/tmp/100%.txt%4"}},
        {{"file:///tmp/%zz%00x"}, {"/tmp/%zz%00x"}},
        // Names that are not file addresses are left alone.
        {{"carta%20.txt", "http://x/y"}, {"carta%20.txt", "http://x/y"}},
        {{"file://servidor/home/ana/carta.txt"}, {"file://servidor/home/ana/carta.txt"}, true},
        {{"file://"}, {"file://"}, true},
    };
    for (const auto& c : casos) {
        const OpcoesLinux o = separaOpcoes(c.args);
        EXPECT_EQ(o.resto, c.resto) << c.args.back();
        EXPECT_EQ(o.erro.empty(), !c.recusado) << c.args.back() << ": " << o.erro;
        EXPECT_EQ(o.erro.find(c.args.back()) != std::string::npos, c.recusado) << o.erro;
    }
}

// --audio-out: the session records into the file asked for, and says so when it cannot.
class SaidaAudio : public ::testing::Test, public SessaoHeadless {
  protected:
    OpcoesLinux opcoes(const std::string& arquivo) {
        OpcoesLinux o;
        o.frontEnd = "headless";
        o.saidaAudio = arquivo;
        return o;
    }
};

TEST_F(SaidaAudio, AFileThatCannotBeCreatedStopsTheStart) {
    std::string erro;
    auto sessao = montaSessao(opcoes((pasta_ / "nao/existe/saida.wav").string()), erro);
    EXPECT_FALSE(sessao);
    EXPECT_NE(erro.find("nao/existe/saida.wav"), std::string::npos) << erro;
}

TEST_F(SaidaAudio, PausesBetweenSoundsAreSilenceOnTheVirtualClock) {
    const std::string arquivo = (pasta_ / "pausa.wav").string();
    std::string erro;
    auto sessao = montaSessao(opcoes(arquivo), erro);
    ASSERT_TRUE(sessao) << erro;
    sessao->fala->bip();
    sessao->crt->Delay(500);
    sessao->fala->bip();
    sessao.reset();
    const std::vector<int16_t> som = analise::amostrasCapturadas(arquivo);
    std::vector<size_t> sons;  // where the sound is
    for (size_t i = 0; i < som.size(); ++i)
        if (std::abs(som[i]) > 300) sons.push_back(i);
    ASSERT_FALSE(sons.empty());
    size_t maiorPausa = 0;
    for (size_t i = 1; i < sons.size(); ++i) maiorPausa = std::max(maiorPausa, sons[i] - sons[i - 1]);
    const double taxa = AudioCaptura::kFormatoArquivo.taxa;
    EXPECT_NEAR(static_cast<double>(maiorPausa), 0.5 * taxa, 0.02 * taxa);
}

#ifdef PLUMAR_COM_SDL
TEST_F(SaidaAudio, NoSoundDeviceIsShownInTheBannerNotOnTheMessageRow) {
    Variavel driver("SDL_AUDIODRIVER", "nenhum-driver");
    OpcoesLinux o;
    o.frontEnd = "terminal";  // no terminal here: the session ends up headless
    std::string erro;
    auto sessao = montaSessao(o, erro);
    ASSERT_TRUE(sessao) << erro;
    EXPECT_NE(sessao->semSom, "");
    avisaSemSom(*sessao->editor);
    const std::string tela = despejoTela(sessao->crt->tela());
    // Row 5 from column 57: the message row stays free for the messages.
    EXPECT_NE(tela.find("\n" + std::string(56, ' ') + "Sem dispositivo de som"), std::string::npos)
        << tela;
}
#endif

class Inicio : public ::testing::Test, public SessaoHeadless {
protected:
    // Starts an editor that will read `teclas`, with `ini` as SONARE.INI (without one: the
    // SONARE.INI there is) and the family arguments `args`.
    Editor& inicia(const std::optional<std::string>& ini,
                   std::vector<std::string> args = {"texto.txt"}, std::string_view teclas = "") {
        if (ini) gravaArquivoTeste(pasta_ / "SONARE.INI", *ini);
        std::filesystem::remove(pasta_ / "rastro.txt");
        abre(teclas);
        inicializaEditor(e(), args);
        return e();
    }
};

// The file named is trimmed (the command-line modes themselves are heard in the acceptance cases).
TEST_F(Inicio, TheFileNamedIsTrimmed) {
    EXPECT_EQ(inicia("", {"/l", " nome.txt "}).ed.nomeArquivo, "nome.txt");
}

// The welcome is written into the banner; the rest of its row keeps white on blue.
TEST_F(Inicio, TheWelcomeLeavesTheBannerRowWhiteOnBlue) {
    inicia("");
    for (int x = 71; x <= 80; ++x) EXPECT_EQ(crt().atributoEm(x, 7), 0x1F) << x;
}

// A SONARE.INI that is a pipe (reading it would wait for a writer) or over the size limit
// (read at every lookup it would stall the start): one message, the defaults, no wait, and
// the file as it was.
TEST_F(Inicio, AnUnreadableSonareIniGivesOneMessageAndTheDefaults) {
    const std::filesystem::path ini = pasta_ / "SONARE.INI";
    const std::string grande = "[PLUMAR]\nMARGDIR=40\n;" + std::string(2 << 20, 'x') + "\n";
    for (bool pipe : {true, false}) {
        std::filesystem::remove_all(ini);
        if (pipe) { ASSERT_EQ(mkfifo(ini.c_str(), 0600), 0); }
        inicia(pipe ? std::nullopt : std::optional(grande));
        EXPECT_EQ(ed().margemDireita, 72);
        EXPECT_EQ(ed().extensaoPadrao, "txt");
        const std::string mensagem = pipe ? "mensagem EDINIINV" : "mensagem EDINIGRD";
        const std::string r = rastro();
        EXPECT_NE(r.find(mensagem), std::string::npos);
        EXPECT_EQ(r.find(mensagem), r.rfind(mensagem)) << "said once";
        EXPECT_EQ(pipe, std::filesystem::is_fifo(ini));
    }
    EXPECT_TRUE(leArquivo(ini) == grande);
}

// Undo and redo through the key loop: whatever editing commands ran, as many undos give the
// loaded text back byte for byte, and as many redos the text as far as it was ever edited.

// Blanks at line ends (which leaving a line trims), an empty line, an indented one.
constexpr std::string_view kTexto =
    "Alfa beta  \r\n\r\ngama\r\n  delta epsilon\r\nzeta eta teta\r\niota\r\n";

// Whole commands, their questions answered, so a script never wanders into another prompt.
constexpr std::string_view kComandos[] = {
    "a", "e", " ", "x", "{Backspace}", "{Del}", "{Ctrl+Backspace}", "{Enter}",
    "{Ctrl+Enter}", "{Tab}", "{Ctrl+Y}", "{Ctrl+U}", "{Ctrl+Q}", "{Ctrl+D}", "{Ctrl+S}",
    "{Up}", "{Down}", "{Left}", "{Right}", "{End}", "{Ctrl+Home}", "{Ctrl+End}",
    "{Ctrl+Up}", "{Ctrl+Down}", "{Ctrl+B}I", "{Ctrl+B}F", "{Ctrl+B}M", "{Ctrl+B}C",
    "{Ctrl+B}R", "{Ctrl+B}O", "{Ctrl+B}B", "{Ctrl+B}J", "{Ctrl+B}UAS",
    "{F6}a{Enter}xy{Enter}T", "{F9}LDz{Enter}T", "{F9}LJ", "{Ctrl+Z}", "{Alt+Z}",
    // Blocks marked and used at once, moved up and down, sorted, removed, filled.
    "{Ctrl+B}I{Down}{Ctrl+B}F{Ctrl+Home}{Ctrl+B}M", "{Ctrl+B}I{Down}{Ctrl+B}F{Ctrl+End}{Ctrl+B}M",
    "{Ctrl+B}T{Ctrl+B}O", "{Ctrl+B}P{Ctrl+B}R", "{Ctrl+B}T{Ctrl+B}EA"};

class DesfazerTudo : public Inicio {
  protected:
    // The editor run on a fresh copy of the text, typing `teclas` to the end of the script:
    // the text's bytes as a save would write them.
    std::string roda(const std::string& teclas) {
        for (const fs::path& p : {pasta_ / "estado", pasta_ / "texto.txt.save"}) fs::remove_all(p);
        gravaArquivoTeste(pasta_ / "texto.txt", std::string(kTexto));
        inicia("[PLUMAR]\nDICIONARIOATIVADO=N\nFALAAUTOMATICA=S\n",
               {(pasta_ / "texto.txt").string()}, teclas);
        try {
            executaEditor(e());
        } catch (const FimDoRoteiro&) {
        }
        std::string bytes;
        bytesDoTexto(ed(), 1, ed().nLinhas(), [&](std::string_view b) { bytes += b; });
        return bytes;
    }
};

TEST_F(DesfazerTudo, AsManyUndosGiveTheLoadedTextBackAndAsManyRedosTheEditedOne) {
    std::mt19937 sorte(45);
    std::uniform_int_distribution<size_t> qual(0, std::size(kComandos) - 1);
    for (int rodada = 0; rodada < 20; ++rodada) {
        std::string teclas, desfaz, refaz;
        for (int i = 0; i < 40; ++i) {
            teclas += kComandos[qual(sorte)];
            desfaz += "{Ctrl+Z}";
            refaz += "{Alt+Z}";
        }
        EXPECT_EQ(roda(teclas + desfaz), kTexto) << teclas;
        EXPECT_EQ(roda(teclas + desfaz + refaz), roda(teclas + refaz)) << teclas;
    }
}

// A key storm of undo and redo leaves the text as the edits left it.
TEST_F(DesfazerTudo, TenThousandAlternatingUndoAndRedoKeys) {
    const std::string edicao = "{End} fim{Down}{Ctrl+Y}{Ctrl+B}I{Ctrl+B}F{Ctrl+Home}{Ctrl+B}M";
    std::string tempestade;
    for (int i = 0; i < 5000; ++i) tempestade += "{Ctrl+Z}{Alt+Z}";
    EXPECT_EQ(roda(edicao + tempestade), roda(edicao));
}

}  // namespace
