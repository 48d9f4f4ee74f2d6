// The voice kit generator: records the family's stock of speech with the speech engine and
// lays it out under the family root. One part per call, so that the build runs the parts
// side by side and redoes only those whose inputs changed:
//
//   voicekit letras    RAIZ ESTADO gravacoes.txt     character, word and tone recordings
//   voicekit mensagens RAIZ ESTADO                   the editor's prompts and help lines
//   voicekit numera    RAIZ ESTADO numera.txt        the math mode's prompts (COMANDOS\...)
//   voicekit difones   RAIZ ESTADO DIR_REGRAS        the built-in synthesizer's diphone bank
//   voicekit brisa     RAIZ ESTADO portug.dfn        the own engine's diphone voice (br4)
//   voicekit amostra   RAIZ ESTADO amostra.txt SONARE.INI
//                                                    a paragraph read by the built-in
//                                                    synthesizer at speed level 3
//
// ESTADO is a folder of the build tree where each part keeps the fingerprint of its inputs.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "editor/edAjuda.h"
#include "editor/edMensag.h"
#include "platform/codigos.h"
#include "platform/ini.h"
#include "speech/bancoDifones.h"
#include "speech/regras.h"
#include "speech/sintetizador.h"
#include "voicekit/kitInventario.h"
#include "voicekit/kitOnda.h"
#include "voicekit/kitVozBrisa.h"
#include "speech/tts/uttsProsodia.h"
#include "vozEspeak.h"

namespace fs = std::filesystem;

namespace {

// Changing how recordings are made changes this, so that every part is made again.
constexpr std::string_view kVersaoKit = "voicekit 2: bordas suaves, nivel pela voz";
constexpr int kPalavrasPorMinuto = 175;
// Units are said faster than the prompts: each is stressed in its carrier, and the speed
// levels cut them shorter still, so level 3 keeps about the pace of the prompts.
constexpr int kPalavrasPorMinutoDifones = 240;
// How the bank's units are cut; changing it remakes the bank only.
constexpr std::string_view kVersaoCorte =
    "portadora a_ta/t_ta, meio da vogal antes do glide, bordas sonoras a 2 passos em 8 bits";
constexpr int kLimiarSilencio = 400;
constexpr size_t kMargemSilencio = 55;  // 5 ms kept around the sound
constexpr int kQuietoOitoBits = 384;  // louder samples stay 2 steps or more off silence in 8 bits
// Every recording and the bank as a whole are set to one loudness (the RMS of the voiced
// part, -20 dBFS); the rare peak above the knee is bent softly below kPico.
constexpr int kAlvoVoz = 3277;
constexpr int kJoelho = 20000;
constexpr int kPico = 28000;
constexpr int kMsDtmf = 160;
constexpr char kBanco[] = "DIFONES2";
// The own engine's voice: said slower than the prompts, so each phoneme has a steady middle.
constexpr int kPalavrasPorMinutoBrisa = 150;
constexpr std::string_view kVersaoBrisa = "brisa 2: portadora t_a, meio a meio, 16 kHz, oclusiva com o fechamento, sonoridade pelo fonema e nas bordas, pausa-pausa muda, marcas pela correlacao";

struct Falha {
    std::string mensagem;
};

[[noreturn]] void falha(const std::string& mensagem) {
    throw Falha{mensagem};
}

std::string leArquivo(const fs::path& arquivo) {
    std::ifstream f(arquivo, std::ios::binary);
    if (!f) falha("não consigo ler " + arquivo.string());
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// FNV-1a over everything a part is made from.
class Impressao {
  public:
    void soma(std::string_view s) {
        for (unsigned char c : s) valor_ = (valor_ ^ c) * 1099511628211ULL;
        valor_ = (valor_ ^ 0xFF) * 1099511628211ULL;  // keeps "ab","c" apart from "a","bc"
    }
    std::string texto() const {
        char b[17];
        std::snprintf(b, sizeof b, "%016llx", static_cast<unsigned long long>(valor_));
        return b;
    }

  private:
    uint64_t valor_ = 14695981039346656037ULL;
};

// Skips a part whose inputs have not changed since it was last made and whose files are all
// still there.
bool jaFeito(const fs::path& marca, const std::string& impressao,
             const std::vector<fs::path>& saidas) {
    std::ifstream f(marca);
    std::string anterior;
    if (!f || !std::getline(f, anterior) || anterior != impressao) return false;
    for (const fs::path& s : saidas)
        if (!fs::exists(s)) return false;
    return true;
}

void marcaFeito(const fs::path& marca, const std::string& impressao) {
    if (!gravaSeMudou(marca, impressao + "\n")) falha("não consigo escrever " + marca.string());
}

// The engine's samples as a finished recording.
std::vector<uint8_t> grava(VozEspeak& voz, const std::string& textoUtf8, const std::string& nome) {
    auto amostras = voz.sintetiza(textoUtf8);
    if (!amostras) falha("o espeak-ng falhou ao falar " + nome);
    auto reduzidas = reduzTaxa(*amostras, voz.taxa());
    if (!reduzidas) falha("taxa do espeak-ng inesperada: " + std::to_string(voz.taxa()));
    std::vector<int16_t> som = aparaSilencio(*reduzidas, kLimiarSilencio, kMargemSilencio);
    if (som.empty()) falha("a gravação de " + nome + " saiu muda (texto \"" + textoUtf8 + "\")");
    suavizaBordas(som);
    escalaPorNivel(som, kAlvoVoz, nivelVoz(som), kJoelho, kPico);
    return para8Bits(som);
}

void escreve(const fs::path& arquivo, const std::vector<uint8_t>& bytes) {
    if (!gravaSeMudou(arquivo, bytes)) falha("não consigo escrever " + arquivo.string());
}

std::unique_ptr<VozEspeak> abreVoz(int palavrasPorMinuto) {
    std::string erro;
    auto voz = VozEspeak::abre(palavrasPorMinuto, erro);
    if (!voz) falha(erro);
    return voz;
}

struct Gravacao {
    std::string nome;
    std::string texto;  // UTF-8
};

// "nome=texto" lines; '#' starts a comment line.
std::vector<Gravacao> leGravacoes(const fs::path& arquivo) {
    std::ifstream f(arquivo);
    if (!f) falha("não consigo ler " + arquivo.string());
    std::vector<Gravacao> lista;
    std::string linha;
    for (int n = 1; std::getline(f, linha); ++n) {
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        if (linha.empty() || linha[0] == '#') continue;
        size_t igual = linha.find('=');
        std::string onde = arquivo.filename().string() + ":" + std::to_string(n);
        if (igual == std::string::npos || igual == 0) falha(onde + ": falta \"nome=texto\"");
        Gravacao g{linha.substr(0, igual), linha.substr(igual + 1)};
        if (g.texto.find_first_not_of(' ') == std::string::npos)
            falha(onde + ": texto vazio para " + g.nome);
        lista.push_back(std::move(g));
    }
    return lista;
}

void parteLetras(const fs::path& raiz, const fs::path& estado, const fs::path& arquivo) {
    std::vector<Gravacao> lista = leGravacoes(arquivo);
    std::map<std::string, bool> nomes;
    for (const Gravacao& g : lista)
        if (!nomes.emplace(g.nome, true).second) falha("gravação repetida: " + g.nome);
    for (int c = 0; c < 256; ++c)
        if (!nomes.count("_" + std::to_string(c)))
            falha(arquivo.filename().string() + " não tem o caractere _" + std::to_string(c));

    const fs::path dir = raiz / "som" / "letras";
    std::vector<fs::path> saidas;
    for (const Gravacao& g : lista) saidas.push_back(dir / (g.nome + ".wav"));
    const std::string teclas = "0123456789#X";
    for (char t : teclas) saidas.push_back(dir / (std::string("dtmf_") + t + ".wav"));

    auto voz = abreVoz(kPalavrasPorMinuto);
    Impressao impressao;
    impressao.soma(kVersaoKit);
    impressao.soma(voz->versao());
    impressao.soma(leArquivo(arquivo));
    const fs::path marca = estado / "letras.marca";
    if (jaFeito(marca, impressao.texto(), saidas)) return;

    for (const Gravacao& g : lista)
        escreve(dir / (g.nome + ".wav"), ondaCanonica(grava(*voz, g.texto, g.nome)));
    for (char t : teclas)
        escreve(dir / (std::string("dtmf_") + t + ".wav"), ondaCanonica(*tomDtmf(t, kMsDtmf)));
    marcaFeito(marca, impressao.texto());
}

std::vector<TextoFalado> textosDoEditor() {
    std::vector<TextoFalado> textos = textosMensagens();
    for (TextoFalado& t : textosAjuda()) textos.push_back(std::move(t));
    return textos;
}

void parteMensagens(const fs::path& raiz, const fs::path& estado) {
    const std::vector<TextoFalado> textos = textosDoEditor();
    const fs::path dir = raiz / "plumar";
    std::vector<fs::path> saidas;
    auto voz = abreVoz(kPalavrasPorMinuto);
    Impressao impressao;
    impressao.soma(kVersaoKit);
    impressao.soma(voz->versao());
    for (const TextoFalado& t : textos) {
        if (t.texto.find_first_not_of(' ') == std::string::npos)
            falha("texto vazio para a mensagem " + t.chave);
        impressao.soma(t.chave);
        impressao.soma(t.texto);
        saidas.push_back(dir / (t.chave + ".WAV"));
    }
    const fs::path marca = estado / "mensagens.marca";
    if (jaFeito(marca, impressao.texto(), saidas)) return;
    for (const TextoFalado& t : textos)
        escreve(dir / (t.chave + ".WAV"),
                ondaCanonica(grava(*voz, win1252ParaUtf8(t.texto), t.chave)));
    marcaFeito(marca, impressao.texto());
}

// The math mode's prompts: their names are the paths the mode plays ("\COMANDOS\MENU\F62"),
// made under the prompts folder.
void parteNumera(const fs::path& raiz, const fs::path& estado, const fs::path& arquivo) {
    const std::vector<Gravacao> lista = leGravacoes(arquivo);
    const fs::path dir = raiz / "plumar";
    std::vector<fs::path> saidas;
    std::map<std::string, bool> nomes;
    for (const Gravacao& g : lista) {
        if (!nomes.emplace(g.nome, true).second) falha("gravação repetida: " + g.nome);
        std::string relativo = g.nome;
        for (char& c : relativo)
            if (c == '\\') c = '/';
        if (relativo.empty() || relativo[0] != '/' || relativo.find("..") != std::string::npos)
            falha("nome de gravação inválido: " + g.nome);
        saidas.push_back(dir / (relativo.substr(1) + ".wav"));
    }
    auto voz = abreVoz(kPalavrasPorMinuto);
    Impressao impressao;
    impressao.soma(kVersaoKit);
    impressao.soma(voz->versao());
    impressao.soma(leArquivo(arquivo));
    const fs::path marca = estado / "numera.marca";
    if (jaFeito(marca, impressao.texto(), saidas)) return;
    for (size_t i = 0; i < lista.size(); ++i) {
        fs::create_directories(saidas[i].parent_path());
        escreve(saidas[i], ondaCanonica(grava(*voz, lista[i].texto, lista[i].nome)));
    }
    marcaFeito(marca, impressao.texto());
}

// Every text the program speaks through the synthesizer at some point, besides the words
// of the sweep: they make sure the inventory holds their names too.
std::vector<std::string> textosExtras() {
    std::vector<std::string> textos;
    for (const TextoFalado& t : textosDoEditor()) textos.push_back(t.texto);
    return textos;
}

// A unit of the bank cut out of its carrier at the engine's phoneme marks, at 11025 Hz;
// empty when the cut holds no sound.
std::vector<int16_t> corta(VozEspeak& voz, const std::string& nome, const Portadora& p) {
    auto sintese = voz.sintetizaComFonemas("[[" + p.fonemas + "]]");
    if (!sintese) falha("o espeak-ng falhou ao falar " + nome);
    auto t = trechoDaUnidade(sintese->fonemas, sintese->amostras.size(), p.antes, p.depois,
                             p.doMeio);
    if (!t) return {};
    const std::span<const int16_t> todas(sintese->amostras);
    auto som = reduzTaxa(todas.subspan(t->inicio, t->fim - t->inicio), voz.taxa());
    if (!som) falha("taxa do espeak-ng inesperada: " + std::to_string(voz.taxa()));
    // Cut to its voiced edges: the speaker crossfades neighbouring units and fades a unit
    // only where it meets a pause, so quiet samples at its edges would be heard as gaps.
    // A stop keeps its closure at its start: that silence is the stop's own.
    return aparaSilencio(*som, kLimiarSilencio, 0, p.aparaInicio);
}

// The engine swallows some units in context (an l before a stop): those are said alone.
std::vector<int16_t> cortaUnidade(VozEspeak& voz, const std::string& nome,
                                  const std::string& fonemas, size_t& sozinhas) {
    std::vector<int16_t> som = corta(voz, nome, portadoraDifone(fonemas));
    if (!som.empty()) return som;
    ++sozinhas;
    som = corta(voz, nome, Portadora{fonemas, 0, 0, false, true});
    if (som.empty()) falha("o difone " + nome + " saiu mudo (fonemas " + fonemas + ")");
    return som;
}

void parteDifones(const fs::path& raiz, const fs::path& estado, const fs::path& dirRegras) {
    const std::string textoRegras = leArquivo(dirRegras / "regras.rgr");
    const std::string textoExcecoes = leArquivo(dirRegras / "portug.exc");
    auto regras = leRegras(dirRegras / "regras.rgr");
    auto excecoes = leExcecoes(dirRegras / "portug.exc");
    if (!regras || regras->total() == 0) falha("regras.rgr sem regras");
    if (!excecoes) falha("portug.exc ilegível");

    // Every name the program's own texts ask for must be made; of the sweep's made-up
    // words, a name that cannot be made (longer than a bank name, say) is left to the
    // speaker's replacement of missing names, and counted.
    std::map<std::string, std::string> fonemas;
    for (const auto& [nome, palavra] : nomesPedidos(*regras, *excecoes, textosExtras())) {
        Pronuncia p = pronunciaDifone(nome);
        if (!p.erro.empty())
            falha("as regras pedem o difone " + nome + " (na palavra \"" +
                  win1252ParaUtf8(palavra) + "\"), que não sei fazer: " + p.erro);
        fonemas[nome] = p.fonemas;
    }
    size_t ignorados = 0;
    std::string exemplo;
    auto varre = [&](const std::map<std::string, std::string>& nomes) {
        for (const auto& [nome, palavra] : nomes) {
            Pronuncia p = pronunciaDifone(nome);
            if (p.erro.empty()) {
                fonemas[nome] = p.fonemas;
            } else if (ignorados++ == 0) {
                exemplo = nome + " de \"" + win1252ParaUtf8(palavra) + "\": " + p.erro;
            }
        }
    };
    varre(nomesPedidos(*regras, *excecoes, palavrasDeVarredura(*regras)));
    varre(nomesDasFoneticas(foneticasDeVarredura(*regras)));
    if (ignorados > 0)
        std::printf("voicekit: %zu nomes raros ficam sem difone (como %s)\n", ignorados,
                    exemplo.c_str());

    const fs::path dir = raiz / "som" / "difones";
    const fs::path ind = dir / (std::string(kBanco) + ".IND");
    const fs::path dif = dir / (std::string(kBanco) + ".DIF");
    auto voz = abreVoz(kPalavrasPorMinutoDifones);
    Impressao impressao;
    impressao.soma(kVersaoKit);
    impressao.soma(kVersaoCorte);
    impressao.soma(std::to_string(kPalavrasPorMinutoDifones));
    impressao.soma(voz->versao());
    impressao.soma(textoRegras);
    impressao.soma(textoExcecoes);
    for (const auto& [nome, f] : fonemas) {
        impressao.soma(nome);
        impressao.soma(f);
    }
    const fs::path marca = estado / "difones.marca";
    if (jaFeito(marca, impressao.texto(), {ind, dif})) return;

    std::vector<std::vector<int16_t>> sons;
    size_t sozinhas = 0;
    for (const auto& [nome, f] : fonemas) sons.push_back(cortaUnidade(*voz, nome, f, sozinhas));
    const int nivel = nivelVoz(sons);
    std::vector<uint8_t> indice, amostras;
    size_t i = 0;
    for (const auto& [nome, f] : fonemas) {
        // One gain for the whole bank: an s stays softer than the vowel beside it.
        std::vector<int16_t>& som16 = sons[i++];
        escalaPorNivel(som16, kAlvoVoz, nivel, kJoelho, kPico);
        // Scaled, the edges may hold samples that round to silence in 8 bits: the unit is
        // cut again to the first and last that do not (a stop keeps its closure).
        if (auto sonoro = aparaSilencio(som16, kQuietoOitoBits, 0, portadoraDifone(f).aparaInicio);
            !sonoro.empty())
            som16 = std::move(sonoro);
        std::vector<uint8_t> som = para8Bits(som16);
        if (som.size() > 65535) som.resize(65535);
        const auto desloc = static_cast<uint32_t>(amostras.size());
        indice.push_back(static_cast<uint8_t>(nome.size()));
        for (size_t k = 0; k < kMaxNomeDifone; ++k)
            indice.push_back(k < nome.size() ? static_cast<uint8_t>(nome[k]) : 0);
        indice.push_back(static_cast<uint8_t>(som.size()));
        indice.push_back(static_cast<uint8_t>(som.size() >> 8));
        for (int k = 0; k < 4; ++k) indice.push_back(static_cast<uint8_t>(desloc >> (8 * k)));
        amostras.insert(amostras.end(), som.begin(), som.end());
    }
    escreve(dif, amostras);
    escreve(ind, indice);
    std::printf("voicekit: %zu difones (%zu ditos sozinhos)\n", fonemas.size(), sozinhas);
    marcaFeito(marca, impressao.texto());
}

// The own engine's voice: every diphone of the list, said on one pitch.
void parteBrisa(const fs::path& raiz, const fs::path& estado, const fs::path& arquivoDfn) {
    const std::string texto = leArquivo(arquivoDfn);
    const auto lista = ListaDifones::interpreta(texto);
    if (lista.empty()) falha(arquivoDfn.string() + " sem difones");
    const fs::path saida = raiz / "brisatts" / "br4";
    auto voz = abreVoz(kPalavrasPorMinutoBrisa);
    voz->entonacaoPlana();
    Impressao impressao;
    impressao.soma(kVersaoKit);
    impressao.soma(kVersaoBrisa);
    impressao.soma(voz->versao());
    impressao.soma(texto);
    const fs::path marca = estado / "brisa.marca";
    if (jaFeito(marca, impressao.texto(), {saida})) return;
    std::string erro;
    auto banco = fazBancoVoz(
        [&voz](const std::string& fonemas) { return voz->sintetizaComFonemas(fonemas); },
        voz->taxa(), lista, erro);
    if (!banco) falha(erro);
    escreve(saida, serializaBancoVoz(*banco));
    std::printf("voicekit: voz br4 com %zu difones, gravada a %u Hz\n", banco->difones.size(),
                banco->hertzBase);
    marcaFeito(marca, impressao.texto());
}

// The cuts of speed level 3 as the family's SONARE.INI sets them.
Cortes cortesDoNivel3(const fs::path& ini) {
    auto numero = [&](const char* chave) {
        return static_cast<int>(std::max(inteiroIni(leIniArquivo(ini, "SINTETIZADOR", chave)).value_or(0), 0L));
    };
    return Cortes{numero("CORTEFON3"), numero("SOBRAFON3"), numero("INTERPAL3")};
}

void parteAmostra(const fs::path& raiz, const fs::path& estado, const fs::path& arquivo,
                  const fs::path& ini) {
    const std::string texto = utf8ParaWin1252(leArquivo(arquivo));
    const Cortes cortes = cortesDoNivel3(ini);
    if (texto.find_first_not_of(" \r\n\t") == std::string::npos) falha("amostra.txt vazio");
    const fs::path dirDifones = raiz / "som" / "difones";
    const fs::path saida = raiz / "amostra.wav";
    Impressao impressao;
    impressao.soma(kVersaoKit);
    impressao.soma(texto);
    for (int c : {cortes.corteFon, cortes.sobraFon, cortes.interPal}) impressao.soma(std::to_string(c));
    for (const char* f : {"regras.rgr", "portug.exc", "DIFONES2.IND", "DIFONES2.DIF"})
        impressao.soma(leArquivo(dirDifones / f));
    const fs::path marca = estado / "amostra.marca";
    if (jaFeito(marca, impressao.texto(), {saida})) return;

    std::vector<uint8_t> dados;
    SaidaSom captura{[&dados](std::span<const uint8_t> onda) {
                         if (onda.size() > 44)
                             dados.insert(dados.end(), onda.begin() + 44, onda.end());
                     },
                     nullptr, nullptr};
    Sintetizador sintetizador(captura);
    ConfiguracaoSintetizador config{raiz / "som" / "letras", dirDifones, kBanco};
    if (int r = sintetizador.abre(config); r != kSintetizadorPronto)
        falha("o sintetizador embutido não abriu com o kit (código " + std::to_string(r) + ")");
    sintetizador.mudaCortes(cortes);
    sintetizador.falaTexto(texto);
    if (dados.empty()) falha("a amostra saiu muda");
    escreve(saida, ondaCanonica(std::move(dados)));
    marcaFeito(marca, impressao.texto());
}

int uso() {
    std::fprintf(stderr, "uso: voicekit letras|mensagens|numera|difones|brisa|amostra RAIZ ESTADO [ENTRADA] [SONARE.INI]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 3) return uso();
    const std::string& parte = args[0];
    const fs::path raiz = args[1], estado = args[2];
    const bool temEntrada = args.size() >= 4;
    try {
        if (parte == "letras" && temEntrada)
            parteLetras(raiz, estado, args[3]);
        else if (parte == "mensagens")
            parteMensagens(raiz, estado);
        else if (parte == "numera" && temEntrada)
            parteNumera(raiz, estado, args[3]);
        else if (parte == "difones" && temEntrada)
            parteDifones(raiz, estado, args[3]);
        else if (parte == "brisa" && temEntrada)
            parteBrisa(raiz, estado, args[3]);
        else if (parte == "amostra" && args.size() >= 5)
            parteAmostra(raiz, estado, args[3], args[4]);
        else
            return uso();
    } catch (const Falha& f) {
        std::fprintf(stderr, "voicekit %s: %s\n", parte.c_str(), f.mensagem.c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "voicekit %s: %s\n", parte.c_str(), e.what());
        return 1;
    }
    return 0;
}
