// The voice kit of the build tree against what the program can ask of it: every character,
// number word, tone, prompt and help line, and the diphones of common words.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "apoio.h"
#include "editor/edAjuda.h"
#include "editor/edMensag.h"
#include "platform/audio.h"
#include "platform/caminhos.h"
#include "platform/codigos.h"
#include "speech/bancoDifones.h"
#include "speech/regras.h"
#include "voicekit/kitInventario.h"
#include "voicekit/kitOnda.h"

namespace fs = std::filesystem;

namespace {

const fs::path kRaiz = PLUMAR_RAIZ_CONSTRUCAO;
const fs::path kLetras = kRaiz / "som" / "letras";
const fs::path kDifones = kRaiz / "som" / "difones";
const fs::path kPrompts = kRaiz / "plumar";

// Without espeak-ng the build has no kit, and says so; with it, the kit must be whole.
#ifdef PLUMAR_COM_KIT
constexpr bool kKitConstruido = true;
#else
constexpr bool kKitConstruido = false;
#endif
#define EXIGE_KIT()                                                          \
    do {                                                                     \
        if (!fs::exists(kDifones / "DIFONES2.IND")) {                        \
            if (kKitConstruido) FAIL() << "the voice kit was not generated"; \
            GTEST_SKIP() << "voice kit not built (no espeak-ng)";            \
        }                                                                    \
    } while (0)

std::vector<std::string> separa(std::string_view texto) {
    std::istringstream in{std::string(texto)};
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// The recorded number, time and date words as the speaker names them: accents off, "_" and
// the word cut to 8 characters (dezessete is "dezeset", the months keep 7 letters).
std::vector<std::string> nomesDeLetras() {
    std::vector<std::string> nomes;
    for (const std::string& p : separa(
             "zero um dois tres quatro cinco seis sete oito nove dez onze doze treze quatorze "
             "quinze dezesseis dezeset dezoito dezenove vinte trinta quarenta cinquenta sessenta "
             "setenta oitenta noventa cento duzentos trezentos quatrocentos quinhentos seiscentos "
             "setecentos oitocentos novecentos cem trilhao trilhoes bilhao bilhoes milhao milhoes "
             "mil e de uma duas hora horas minuto minutos primeir Domingo Segunda Terca Quarta "
             "Quinta Sexta Sabado MENOS Janeiro Feverei Marco Abril Maio Junho Julho Agosto "
             "Setembr Outubro Novembr Dezembr FALACI FALDLG VELOC APFCPO APICPO CPOAPA DEL"))
        nomes.push_back(("_" + p).substr(0, 8));
    for (int c = 0; c < 256; ++c) nomes.push_back("_" + std::to_string(c));
    for (int c = 'A'; c <= 'z'; ++c)
        if (std::isalpha(c)) nomes.push_back("_FON" + std::to_string(c));
    return nomes;
}

// Whether a recording is there and lasts a plausible time: more than 40 ms, at most `maxSegundos`.
bool duraBem(const fs::path& arquivo, double maxSegundos) {
    std::error_code erro;
    const auto tamanho = fs::file_size(arquivo, erro);
    const double segundos = (static_cast<double>(tamanho) - 44) / 11025;
    return !erro && tamanho >= 44 && segundos >= 0.04 && segundos <= maxSegundos;
}

TEST(KitCobertura, EveryNameTheProgramAsksForHasARecording) {
    EXIGE_KIT();
    for (const std::string& n : nomesDeLetras())
        EXPECT_TRUE(duraBem(achaArquivo(kLetras / (n + ".wav")), 4)) << n;
    for (char t : std::string("0123456789#X"))
        EXPECT_TRUE(duraBem(kLetras / (std::string("dtmf_") + t + ".wav"), 1)) << t;
    std::vector<TextoFalado> textos = textosMensagens();
    EXPECT_GE(textos.size(), 170u);
    for (TextoFalado& t : textosAjuda()) textos.push_back(std::move(t));
    for (const TextoFalado& t : textos)
        EXPECT_TRUE(duraBem(kPrompts / (t.chave + ".WAV"), 20)) << t.chave;
    // Files neither swapped nor truncated: 16 and 17 stay apart once cut to 8 characters,
    // and a long prompt outlasts a short one.
    EXPECT_NE(leBytes(kLetras / "_dezesse.wav"), leBytes(kLetras / "_dezeset.wav"));
    EXPECT_GT(fs::file_size(kPrompts / "EDCOPTRU.WAV"), 2 * fs::file_size(kPrompts / "EDOK.WAV"));
}

// Common words of written Portuguese.
constexpr std::string_view kPalavrasComuns = R"(
    a o que de e do da em um para com não uma os no se na por mais as dos como mas ao ele das à
    seu sua ou quando muito nos já eu também só pelo pela até isso ela entre depois sem mesmo
    aos seus quem nas me esse eles você essa num nem suas meu minha numa pelos elas qual nós lhe
    deles essas esses pelas este dele tu te vocês vos lhes meus minhas teu tua nosso nossa
    nossos nossas dela delas esta estes estas aquele aquela aqueles aquelas isto aquilo estou
    está estamos estão estive esteve era eram fui foi fomos foram ser sou somos são tenho tem
    temos têm tinha tive teve haver há havia casa tempo ano anos dia dias vez vezes homem mulher
    criança vida mundo trabalho coisa coisas país cidade lugar parte forma governo caso grupo
    problema mão mãos olho olhos cabeça coração história família escola livro palavra palavras
    texto arquivo linha linhas letra bloco margem tela teclado fala voz som nome número página
    computador programa editor janela porta rua carro água comida noite manhã tarde semana mês
    hoje ontem amanhã agora sempre nunca aqui ali lá onde bem mal bom boa grande pequeno novo
    nova velho primeiro último outro outra todo toda todos cada pouco pouca alguns nada tudo
    ninguém alguém fazer dizer poder ir ver dar saber querer chegar passar ficar deixar parecer
    levar começar achar falar escrever ler ouvir abrir fechar salvar gravar apagar procurar
    trocar copiar mover marcar digitar tecla enter obrigado desculpe sim certo errado feliz
    triste rápido devagar saúde dinheiro brasil português atenção informação questão corações
    mães pães muitos quatro quinze guerra gente chave filho ninho exame táxi caixa peixe ilha
    açúcar céu chapéu herói pai mãe lei boi sal mil sol azul luz paz campo vento fim ainda saída
    ruído juízo linguiça qualquer agosto setembro segunda sábado domingo hora minuto aguarde
    desistiu inválida acionada desligada configuração
)";

TEST(KitCobertura, CommonWordsFindAllTheirDiphones) {
    EXIGE_KIT();
    auto regras = leRegras(kDifones / "regras.rgr");
    auto excecoes = leExcecoes(kDifones / "portug.exc");
    auto banco = BancoDifones::abre(kDifones / "DIFONES2.IND", kDifones / "DIFONES2.DIF");
    ASSERT_TRUE(regras && excecoes && banco);
    const std::vector<std::string> palavras = separa(utf8ParaWin1252(kPalavrasComuns));
    ASSERT_GE(palavras.size(), 300u);
    // The names asked for first: every one found means no replacement and no noise.
    auto nomes = nomesPedidos(*regras, *excecoes, palavras);
    EXPECT_GT(nomes.size(), 100u);
    for (const auto& [nome, palavra] : nomes) {
        const Difone* d = banco->procura(nome);
        ASSERT_NE(d, nullptr) << nome << " asked for by " << win1252ParaUtf8(palavra);
        // A sound, not a click: even a lone stop lasts more than 10 ms; a unit is a
        // syllable at most, not a word said alone.
        EXPECT_GT(d->amostras, 110) << nome;
        EXPECT_LT(d->amostras, 11025 / 2) << nome;
    }
}

// Every recording the program plays, as the speaker reads it: canonical header (11025 Hz
// 8-bit mono), even data, not clipped, starting and ending at rest (no click), and speech at
// one loudness (the voiced part's RMS within 1.5 dB of -20 dBFS: recordings, prompts and the
// synthesized paragraph alike). The bank's units are cut to their voiced edges instead (the
// synthesizer crossfades them and fades them only at a pause): no quiet samples there to be
// heard as a gap, but for the closure a stop opens with.
TEST(KitCobertura, EveryRecordingIsCanonicalAtRestAndOfOneLoudness) {
    EXIGE_KIT();
    auto confere = [](const fs::path& arquivo) {
        const std::vector<uint8_t> b = leBytes(arquivo);
        ASSERT_GT(b.size(), 44u) << arquivo;
        const size_t n = b.size() - 44;
        EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 44),
                  cabecalhoWave(FormatoAudio{}, static_cast<uint32_t>(n))) << arquivo;
        EXPECT_EQ(n % 2, 0u) << arquivo;
        const std::span<const uint8_t> dados(b.begin() + 44, b.end());
        EXPECT_LE(std::count_if(dados.begin(), dados.end(), [](uint8_t x) { return x == 0 || x == 255; }) * 100,
                  static_cast<std::ptrdiff_t>(n)) << arquivo << " clipped";
        EXPECT_LE(std::abs(dados.front() - 128), 2) << arquivo;
        EXPECT_LE(std::abs(dados.back() - 128), 2) << arquivo;
        const double nivel = nivelVoz(de8Bits(dados));
        if (arquivo.filename().string().starts_with("dtmf_"))  // tones, not speech
            EXPECT_GT(nivel, 1000) << arquivo;
        else
            EXPECT_NEAR(20 * std::log10(nivel / 32768.0), -20, 1.5) << arquivo;
    };
    size_t vistos = 0;
    // The math mode's prompts lie in folders under the prompts, beside its configuration files.
    for (const fs::path& pasta : {kLetras, kPrompts})
        for (const auto& e : fs::recursive_directory_iterator(pasta)) {
            std::string ext = e.path().extension().string();
            std::transform(ext.begin(), ext.end(), ext.begin(), ::tolower);
            if (e.is_regular_file() && ext == ".wav") confere(e.path()), ++vistos;
        }
    EXPECT_GT(vistos, 1600u);
    // The sample paragraph (about 50 words), read by the built-in synthesizer with the kit,
    // lasts about as long as it takes to read it.
    confere(kRaiz / "amostra.wav");
    EXPECT_GT(fs::file_size(kRaiz / "amostra.wav"), 10u * 11025);
    EXPECT_TRUE(duraBem(kRaiz / "amostra.wav", 40));

    auto banco = BancoDifones::abre(kDifones / "DIFONES2.IND", kDifones / "DIFONES2.DIF");
    ASSERT_TRUE(banco);
    const std::vector<uint8_t> ind = leBytes(kDifones / "DIFONES2.IND");
    for (size_t i = 0; i + kTamanhoRegistro <= ind.size(); i += kTamanhoRegistro) {
        const std::string nome(reinterpret_cast<const char*>(&ind[i + 1]), ind[i]);
        const Difone* d = banco->procura(nome);
        ASSERT_NE(d, nullptr) << nome;
        std::vector<uint8_t> som(d->amostras);
        ASSERT_EQ(banco->le(*d, 0, som), som.size()) << nome;
        ASSERT_FALSE(som.empty()) << nome;
        const bool oclusiva = std::string_view("PBTDKGCQ").find(nome[1]) != std::string_view::npos;
        if (!oclusiva) { EXPECT_GE(std::abs(som.front() - 128), 2) << nome; }
        EXPECT_GE(std::abs(som.back() - 128), 2) << nome;
    }
}

}  // namespace
