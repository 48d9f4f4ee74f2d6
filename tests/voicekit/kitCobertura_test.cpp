// The voice kit of the build tree against what the program can ask of it: every character
// and number word, every prompt and help line, and the diphones of common words.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "editor/edAjuda.h"
#include "editor/edMensag.h"
#include "platform/audio.h"
#include "platform/caminhos.h"
#include "platform/codigos.h"
#include "speech/bancoDifones.h"
#include "speech/regras.h"
#include "speech/sintetizador.h"
#include "voicekit/kitInventario.h"

namespace fs = std::filesystem;

namespace {

const fs::path kRaiz = PLUMAR_RAIZ_CONSTRUCAO;
const fs::path kLetras = kRaiz / "som" / "letras";
const fs::path kDifones = kRaiz / "som" / "difones";
const fs::path kPrompts = kRaiz / "plumar";

// Without espeak-ng the build has no kit, and says so; with it, the kit must be whole.
#define EXIGE_KIT()                                                          \
    do {                                                                     \
        if (!fs::exists(kDifones / "DIFONES2.IND")) {                        \
            if (kKitConstruido) FAIL() << "the voice kit was not generated"; \
            GTEST_SKIP() << "voice kit not built (no espeak-ng)";            \
        }                                                                    \
    } while (0)
#ifdef PLUMAR_COM_KIT
constexpr bool kKitConstruido = true;
#else
constexpr bool kKitConstruido = false;
#endif

std::vector<uint8_t> bytesDe(const fs::path& arquivo) {
    std::ifstream f(arquivo, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// The file names of the recorded number, time and date words, made the way the speaker
// makes them: accents off, "_" and the word cut to 8 characters, dezessete as dezeset.
std::vector<std::string> palavrasGravadas() {
    std::vector<std::string> p = {
        "zero",       "um",           "dois",       "tres",       "quatro",     "cinco",
        "seis",       "sete",         "oito",       "nove",       "dez",        "onze",
        "doze",       "treze",        "quatorze",   "quinze",     "dezesseis",  "dezessete",
        "dezoito",    "dezenove",     "vinte",      "trinta",     "quarenta",   "cinquenta",
        "sessenta",   "setenta",      "oitenta",    "noventa",    "cento",      "duzentos",
        "trezentos",  "quatrocentos", "quinhentos", "seiscentos", "setecentos", "oitocentos",
        "novecentos", "cem",          "trilhao",    "trilhoes",   "bilhao",     "bilhoes",
        "milhao",     "milhoes",      "mil",        "e",          "de",         "uma",
        "duas",       "hora",         "horas",      "minuto",     "minutos",    "primeir",
        "Domingo",    "Segunda",      "Terca",      "Quarta",     "Quinta",     "Sexta",
        "Sabado",     "MENOS"};
    for (const char* mes : {"Janeiro", "Fevereiro", "Marco", "Abril", "Maio", "Junho", "Julho",
                            "Agosto", "Setembro", "Outubro", "Novembro", "Dezembro"})
        p.push_back(std::string(mes).substr(0, 7));
    std::vector<std::string> nomes;
    for (std::string w : p) {
        if (w == "dezessete") w = "dezeset";
        nomes.push_back(("_" + w).substr(0, 8));
    }
    return nomes;
}

// A recording as the speaker reads it: canonical header, 11025 Hz 8-bit mono, even data,
// a plausible length and a level neither silent nor clipped.
::testing::AssertionResult gravacaoBoa(const fs::path& arquivo, double maxSegundos) {
    std::vector<uint8_t> b = bytesDe(arquivo);
    if (b.size() < 44) return ::testing::AssertionFailure() << arquivo << " missing or short";
    const size_t dados = b.size() - 44;
    if (std::vector<uint8_t>(b.begin(), b.begin() + 44) !=
        cabecalhoWave(FormatoAudio{}, static_cast<uint32_t>(dados)))
        return ::testing::AssertionFailure() << arquivo << ": header not canonical";
    if (dados % 2 != 0) return ::testing::AssertionFailure() << arquivo << ": odd data";
    const double segundos = static_cast<double>(dados) / 11025;
    if (segundos < 0.04 || segundos > maxSegundos)
        return ::testing::AssertionFailure() << arquivo << ": " << segundos << " s";
    int maior = 0;
    size_t nasBordas = 0;
    for (size_t i = 44; i < b.size(); ++i) {
        maior = std::max(maior, std::abs(b[i] - 128));
        nasBordas += b[i] == 0 || b[i] == 255;
    }
    if (maior < 40) return ::testing::AssertionFailure() << arquivo << ": nearly silent";
    if (nasBordas * 100 > dados) return ::testing::AssertionFailure() << arquivo << ": clipped";
    return ::testing::AssertionSuccess();
}

TEST(KitCobertura, CadaCaractereTemSuaGravacao) {
    EXIGE_KIT();
    for (int c = 0; c < 256; ++c)
        EXPECT_TRUE(gravacaoBoa(achaArquivo(kLetras / ("_" + std::to_string(c) + ".wav")), 4));
}

TEST(KitCobertura, PalavrasDosNumerosHorasEDatasEAvisos) {
    EXIGE_KIT();
    std::vector<std::string> nomes = palavrasGravadas();
    for (const char* n : {"_FALACI", "_FALDLG", "_VELOC", "_APFCPO", "_APICPO", "_CPOAPA", "_DEL"})
        nomes.push_back(n);
    for (int c = 'A'; c <= 'Z'; ++c) {
        nomes.push_back("_FON" + std::to_string(c));
        nomes.push_back("_FON" + std::to_string(c + 32));
    }
    for (const std::string& n : nomes)
        EXPECT_TRUE(gravacaoBoa(achaArquivo(kLetras / (n + ".wav")), 4)) << n;
    // 16 and 17 stay distinct once cut to 8 characters.
    EXPECT_NE(bytesDe(kLetras / "_dezesse.wav"), bytesDe(kLetras / "_dezeset.wav"));
}

TEST(KitCobertura, TonsDeTelefone) {
    EXIGE_KIT();
    for (char t : std::string("0123456789#X"))
        EXPECT_TRUE(gravacaoBoa(kLetras / (std::string("dtmf_") + t + ".wav"), 1)) << t;
}

TEST(KitCobertura, CadaMensagemELinhaDeAjudaTemSuaGravacao) {
    EXIGE_KIT();
    std::vector<TextoFalado> textos = textosMensagens();
    EXPECT_GE(textos.size(), 170u);
    for (TextoFalado& t : textosAjuda()) textos.push_back(std::move(t));
    std::set<std::string> chaves;
    for (const TextoFalado& t : textos) {
        chaves.insert(t.chave);
        EXPECT_TRUE(gravacaoBoa(kPrompts / (t.chave + ".WAV"), 20)) << t.chave;
    }
    EXPECT_TRUE(chaves.count("EDAJIN1"));
    EXPECT_TRUE(chaves.count("EDAJCV61"));
    // A longer text makes a longer recording: the files are not swapped or truncated.
    EXPECT_GT(fs::file_size(kPrompts / "EDCOPTRU.WAV"), 2 * fs::file_size(kPrompts / "EDOK.WAV"));
}

// Common words of written Portuguese (Windows-1252), for the bank's coverage.
const char* const kPalavras[] = {"a",
                                 "o",
                                 "que",
                                 "de",
                                 "e",
                                 "do",
                                 "da",
                                 "em",
                                 "um",
                                 "para",
                                 "com",
                                 "n\xE3o",
                                 "uma",
                                 "os",
                                 "no",
                                 "se",
                                 "na",
                                 "por",
                                 "mais",
                                 "as",
                                 "dos",
                                 "como",
                                 "mas",
                                 "ao",
                                 "ele",
                                 "das",
                                 "\xE0",
                                 "seu",
                                 "sua",
                                 "ou",
                                 "quando",
                                 "muito",
                                 "nos",
                                 "j\xE1",
                                 "eu",
                                 "tamb\xE9m",
                                 "s\xF3",
                                 "pelo",
                                 "pela",
                                 "at\xE9",
                                 "isso",
                                 "ela",
                                 "entre",
                                 "depois",
                                 "sem",
                                 "mesmo",
                                 "aos",
                                 "seus",
                                 "quem",
                                 "nas",
                                 "me",
                                 "esse",
                                 "eles",
                                 "voc\xEA",
                                 "essa",
                                 "num",
                                 "nem",
                                 "suas",
                                 "meu",
                                 "minha",
                                 "numa",
                                 "pelos",
                                 "elas",
                                 "qual",
                                 "n\xF3s",
                                 "lhe",
                                 "deles",
                                 "essas",
                                 "esses",
                                 "pelas",
                                 "este",
                                 "dele",
                                 "tu",
                                 "te",
                                 "voc\xEAs",
                                 "vos",
                                 "lhes",
                                 "meus",
                                 "minhas",
                                 "teu",
                                 "tua",
                                 "nosso",
                                 "nossa",
                                 "nossos",
                                 "nossas",
                                 "dela",
                                 "delas",
                                 "esta",
                                 "estes",
                                 "estas",
                                 "aquele",
                                 "aquela",
                                 "aqueles",
                                 "aquelas",
                                 "isto",
                                 "aquilo",
                                 "estou",
                                 "est\xE1",
                                 "estamos",
                                 "est\xE3o",
                                 "estive",
                                 "esteve",
                                 "era",
                                 "eram",
                                 "fui",
                                 "foi",
                                 "fomos",
                                 "foram",
                                 "ser",
                                 "sou",
                                 "somos",
                                 "s\xE3o",
                                 "tenho",
                                 "tem",
                                 "temos",
                                 "t\xEAm",
                                 "tinha",
                                 "tive",
                                 "teve",
                                 "haver",
                                 "h\xE1",
                                 "havia",
                                 "casa",
                                 "tempo",
                                 "ano",
                                 "anos",
                                 "dia",
                                 "dias",
                                 "vez",
                                 "vezes",
                                 "homem",
                                 "mulher",
                                 "crian\xE7"
                                 "a",
                                 "vida",
                                 "mundo",
                                 "trabalho",
                                 "coisa",
                                 "coisas",
                                 "pa\xEDs",
                                 "cidade",
                                 "lugar",
                                 "parte",
                                 "forma",
                                 "governo",
                                 "caso",
                                 "grupo",
                                 "problema",
                                 "m\xE3o",
                                 "m\xE3os",
                                 "olho",
                                 "olhos",
                                 "cabe\xE7"
                                 "a",
                                 "cora\xE7\xE3o",
                                 "hist\xF3ria",
                                 "fam\xEDlia",
                                 "escola",
                                 "livro",
                                 "palavra",
                                 "palavras",
                                 "texto",
                                 "arquivo",
                                 "linha",
                                 "linhas",
                                 "letra",
                                 "bloco",
                                 "margem",
                                 "tela",
                                 "teclado",
                                 "fala",
                                 "voz",
                                 "som",
                                 "nome",
                                 "n\xFAmero",
                                 "p\xE1gina",
                                 "computador",
                                 "programa",
                                 "editor",
                                 "janela",
                                 "porta",
                                 "rua",
                                 "carro",
                                 "\xE1gua",
                                 "comida",
                                 "noite",
                                 "manh\xE3",
                                 "tarde",
                                 "semana",
                                 "m\xEAs",
                                 "hoje",
                                 "ontem",
                                 "amanh\xE3",
                                 "agora",
                                 "sempre",
                                 "nunca",
                                 "aqui",
                                 "ali",
                                 "l\xE1",
                                 "onde",
                                 "bem",
                                 "mal",
                                 "bom",
                                 "boa",
                                 "grande",
                                 "pequeno",
                                 "novo",
                                 "nova",
                                 "velho",
                                 "primeiro",
                                 "\xFAltimo",
                                 "outro",
                                 "outra",
                                 "todo",
                                 "toda",
                                 "todos",
                                 "cada",
                                 "pouco",
                                 "pouca",
                                 "alguns",
                                 "nada",
                                 "tudo",
                                 "ningu\xE9m",
                                 "algu\xE9m",
                                 "fazer",
                                 "dizer",
                                 "poder",
                                 "ir",
                                 "ver",
                                 "dar",
                                 "saber",
                                 "querer",
                                 "chegar",
                                 "passar",
                                 "ficar",
                                 "deixar",
                                 "parecer",
                                 "levar",
                                 "come\xE7"
                                 "ar",
                                 "achar",
                                 "falar",
                                 "escrever",
                                 "ler",
                                 "ouvir",
                                 "abrir",
                                 "fechar",
                                 "salvar",
                                 "gravar",
                                 "apagar",
                                 "procurar",
                                 "trocar",
                                 "copiar",
                                 "mover",
                                 "marcar",
                                 "digitar",
                                 "tecla",
                                 "enter",
                                 "obrigado",
                                 "desculpe",
                                 "sim",
                                 "certo",
                                 "errado",
                                 "feliz",
                                 "triste",
                                 "r\xE1pido",
                                 "devagar",
                                 "sa\xFA"
                                 "de",
                                 "dinheiro",
                                 "brasil",
                                 "portugu\xEAs",
                                 "aten\xE7\xE3o",
                                 "informa\xE7\xE3o",
                                 "quest\xE3o",
                                 "cora\xE7\xF5"
                                 "es",
                                 "m\xE3"
                                 "es",
                                 "p\xE3"
                                 "es",
                                 "muitos",
                                 "quatro",
                                 "quinze",
                                 "guerra",
                                 "gente",
                                 "chave",
                                 "filho",
                                 "ninho",
                                 "exame",
                                 "t\xE1xi",
                                 "caixa",
                                 "peixe",
                                 "ilha",
                                 "a\xE7\xFA"
                                 "car",
                                 "c\xE9u",
                                 "chap\xE9u",
                                 "her\xF3i",
                                 "pai",
                                 "m\xE3"
                                 "e",
                                 "lei",
                                 "boi",
                                 "sal",
                                 "mil",
                                 "sol",
                                 "azul",
                                 "feliz",
                                 "luz",
                                 "paz",
                                 "campo",
                                 "vento",
                                 "tempo",
                                 "fim",
                                 "mundo",
                                 "ainda",
                                 "sa\xED"
                                 "da",
                                 "ru\xED"
                                 "do",
                                 "ju\xEDzo",
                                 "lingui\xE7"
                                 "a",
                                 "quando",
                                 "qualquer",
                                 "agosto",
                                 "setembro",
                                 "segunda",
                                 "s\xE1"
                                 "bado",
                                 "domingo",
                                 "hora",
                                 "minuto",
                                 "aguarde",
                                 "desistiu",
                                 "inv\xE1lida",
                                 "acionada",
                                 "desligada",
                                 "configura\xE7\xE3o"};

TEST(KitCobertura, PalavrasComunsAchamTodosOsSeusDifones) {
    EXIGE_KIT();
    auto regras = leRegras(kDifones / "regras.rgr");
    auto excecoes = leExcecoes(kDifones / "portug.exc");
    ASSERT_TRUE(regras && excecoes);
    auto banco = BancoDifones::abre(kDifones / "DIFONES2.IND", kDifones / "DIFONES2.DIF");
    ASSERT_TRUE(banco);
    EXPECT_GT(banco->tamanho(), 300u);
    std::vector<std::string> palavras(std::begin(kPalavras), std::end(kPalavras));
    EXPECT_GE(palavras.size(), 300u);
    auto nomes = nomesPedidos(*regras, *excecoes, palavras);
    EXPECT_GT(nomes.size(), 100u);
    for (const auto& [nome, palavra] : nomes) {
        const Difone* d = banco->procura(nome);
        ASSERT_NE(d, nullptr) << nome << " asked for by " << win1252ParaUtf8(palavra);
        // A sound, not a click: even a lone stop lasts more than 15 ms.
        EXPECT_GT(d->amostras, 165) << nome;
    }
}

TEST(KitCobertura, SintetizadorEmbutidoAbreComOKitEFala) {
    EXIGE_KIT();
    std::vector<uint8_t> som;
    SaidaSom saida{[&som](std::span<const uint8_t> onda) {
                       som.insert(som.end(), onda.begin() + 44, onda.end());
                   },
                   nullptr, nullptr};
    Sintetizador s(saida);
    ASSERT_EQ(s.abre({kLetras, kDifones, "DIFONES2"}), kSintetizadorPronto);
    s.falaTexto("casa");
    const size_t casa = som.size();
    EXPECT_GT(casa, 2000u);
    som.clear();
    s.falaTexto("CPF");  // a sigla is spelled from the character recordings
    EXPECT_GT(som.size(), 2 * casa);
    EXPECT_TRUE(gravacaoBoa(kRaiz / "amostra.wav", 60));
}

}  // namespace
