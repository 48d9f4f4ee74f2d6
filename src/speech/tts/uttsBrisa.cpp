#include "speech/tts/uttsBrisa.h"

#include <algorithm>
#include <iostream>

#include "platform/caminhos.h"
#include "platform/codigos.h"
#include "platform/texto.h"
#include "speech/tocadorOnda.h"
#include "speech/tts/mbrola/mbrola.h"
#include "speech/tts/uttsLetras.h"

namespace {

constexpr char kErroPortugues[] = "Erro na base de dados de portugu\xEAs";
constexpr char kErroAbreviaturas[] = "Erro no arquivo de abreviaturas";
constexpr char kErroProsodia[] = "Erro no arquivo de pros\xF3""dia";

std::string ouPadrao(const std::string& nome, const char* padrao) {
    return nome.empty() ? padrao : nome;
}

}  // namespace

MotorBrisa::~MotorBrisa() {
    fecha();
}

bool MotorBrisa::falha(std::string mensagem) {
    erro_ = std::move(mensagem);
    fecha();
    return false;
}

bool MotorBrisa::abre(const ArquivosBrisa& a) {
    fecha();
    erro_.clear();
    const std::string base = ouPadrao(a.base, "br4");
    if (init_MBR(base.c_str()) < 0) {
        char motivo[256];
        lastErrorStr_MBR(motivo, sizeof motivo);
        return falha(motivo);
    }
    setNoError_MBR(1);
    aberto_ = true;
    if (!portug_.carrega(ouPadrao(a.regras, "portug.nrl"), ouPadrao(a.excecoes, "portug.exc")))
        return falha(kErroPortugues);
    if (!preproc_.carregaAbreviaturas(ouPadrao(a.abreviaturas, "portug.abr")))
        return falha(kErroAbreviaturas);
    std::string mensagem;
    if (!carregaProsodia(ouPadrao(a.prosodia, "portug.pro"), prosodia_, mensagem)) {
        // The family shows this in a message box; here it goes to the log.
        std::cerr << win1252ParaUtf8(mensagem) << '\n';
        return falha(kErroProsodia);
    }
    if (!difones_.carrega(ouPadrao(a.difones, "portug.dfn"))) return falha(kErroProsodia);
    return true;
}

void MotorBrisa::fecha() {
    if (!aberto_) return;
    close_MBR();
    portug_.libera();
    prosodia_ = ProsodiaTts{};
    difones_ = ListaDifones{};
    aberto_ = false;
}

FrasesTts::FrasesTts(const PreprocTts& preproc, const PortugTts& portug,
                     const ProsodiaTts& prosodia, const ListaDifones& difones,
                     const FatoresFala& fatores, std::string_view texto)
    : preproc_(preproc),
      portug_(portug),
      prosodia_(prosodia),
      difones_(difones),
      fatores_(fatores),
      texto_(apara(texto)),
      contornos_(prosodia) {}

// A cut falls on a blank the normaliser reads as a plain word break: never after a hyphen
// or another blank (" - " is a pause, "-5" a negative number), and with at least two
// characters on each side (a lone character is read by its name). Both sides then normalise
// as they would in the whole text.
size_t FrasesTts::fimDaFrase(size_t inicio) const {
    const std::string_view t = texto_;
    auto branco = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    for (size_t i = std::max<size_t>(inicio + 2, 2); i + 1 < t.size(); ++i) {
        const auto antes = static_cast<unsigned char>(t[i - 1]);
        if (!branco(t[i]) || antes <= ' ' || antes == '-') continue;
        if (antes == '!' || antes == '?') return i;
        if (antes == '.') {
            // "Sr." and "J." end no sentence: the next word still belongs to them.
            size_t p = i - 1;
            while (p > inicio && letrasTts::letra(static_cast<unsigned char>(t[p - 1]))) --p;
            const std::string_view palavra = t.substr(p, i - 1 - p);
            if (palavra.size() == 1 || preproc_.abreviatura(palavra)) continue;
            return i;
        }
        if (i - inicio >= kFraseLonga) return i;
    }
    return t.size();
}

bool FrasesTts::proxima(std::vector<std::string>& linhas) {
    if (posicao_ >= texto_.size()) return false;
    const size_t inicio = posicao_;
    posicao_ = fimDaFrase(inicio);
    const bool fim = posicao_ >= texto_.size();
    std::vector<std::string> itens = tokeniza(preproc_.normaliza(texto_.substr(inicio, posicao_ - inicio)), prosodia_);
    // The sentence mark that opens the list belongs to the text's start only.
    if (inicio > 0) itens.erase(itens.begin());
    std::vector<std::string> fonemas = std::move(pendentes_);
    pendentes_.clear();
    portug_.acrescentaFonemas(contornos_.acrescenta(itens, fim), fonemas);
    if (fim) fonemas.push_back("__");
    ligaPalavras(fonemas);
    if (!fim) {
        // The last item waits for the next word, which may change its final sound.
        size_t ultimo = fonemas.size();
        while (ultimo > 0 && (fonemas[ultimo - 1].empty() || fonemas[ultimo - 1][0] != ';')) --ultimo;
        if (ultimo > 0) {
            pendentes_.assign(std::make_move_iterator(fonemas.begin() + static_cast<std::ptrdiff_t>(ultimo - 1)),
                              std::make_move_iterator(fonemas.end()));
            fonemas.resize(ultimo - 1);
        }
    }
    linhasFonemas(fonemas, prosodia_, difones_, fatores_, estado_, linhas);
    return true;
}

std::vector<std::string> MotorBrisa::linhas(std::string_view texto) const {
    std::vector<std::string> l;
    FrasesTts frases(preproc_, portug_, prosodia_, difones_, fatores_, texto);
    while (frases.proxima(l)) {
    }
    return l;
}

bool BufferOnda::toca() {
    std::vector<uint8_t> o(TocadorOnda::kTamanhoCabecalho);
    TocadorOnda::preencheCabecalho(std::span<uint8_t, TocadorOnda::kTamanhoCabecalho>(o.data(), o.size()),
                                   static_cast<uint32_t>(dados_.size()), 16000, 1, 16);
    o.insert(o.end(), dados_.begin(), dados_.end());
    dados_.clear();
    seguir_ = toca_(o);
    return seguir_;
}

bool BufferOnda::acrescenta(std::span<const int16_t> bloco) {
    if (!seguir_) return false;
    if (!dados_.empty() && dados_.size() + 2 * bloco.size() >= kLimite && !toca()) return false;
    for (int16_t a : bloco) {
        const auto v = static_cast<uint16_t>(a);
        dados_.push_back(static_cast<uint8_t>(v & 0xFF));
        dados_.push_back(static_cast<uint8_t>(v >> 8));
    }
    return true;
}

bool BufferOnda::termina() {
    if (!seguir_ || dados_.empty()) return seguir_;
    if (dados_.size() < kMinimoFinal) dados_.resize(kMinimoFinal, 0);
    return toca();
}

bool MotorBrisa::fala(std::string_view texto, const TocaOnda& toca) {
    frases_ = 0;
    if (!aberto_) return false;
    if (apara(texto).empty()) return true;
    FrasesTts frases(preproc_, portug_, prosodia_, difones_, fatores_, texto);
    reset_MBR();
    bool aceito = true;
    BufferOnda buffer(toca);
    std::vector<int16_t> bloco(kAmostrasPorLeitura);
    auto le = [&] {
        int n = 0;
        while (buffer.seguindo() && (n = read_MBR(bloco.data(), static_cast<int>(bloco.size()))) > 0)
            buffer.acrescenta(std::span(bloco).first(static_cast<size_t>(n)));
    };
    std::vector<std::string> l;
    while (buffer.seguindo() && frases.proxima(l)) {
        ++frases_;
        for (const std::string& linha : l) {
            if (!buffer.seguindo()) break;
            write_MBR((linha + "\r\n").c_str());
            if (lastError_MBR() != 0) {
                reset_MBR();
                aceito = false;
            }
            le();
        }
        l.clear();
    }
    if (buffer.seguindo()) {
        flush_MBR();
        le();
        buffer.termina();
    }
    return aceito;
}

ServidorBrisa::~ServidorBrisa() {
    fecha();
}

ArquivosBrisa ServidorBrisa::arquivosDoIni(const AmbienteServidor& ambiente) {
    const LeIniFala& leIni = ambiente.leIni;
    ArquivosBrisa a;
    // No registry of databases here: a bare name is a database of the rule files' folder.
    const std::string banco = leBrisatts(leIni, "MBROLA_DB", "br4");
    a.base = banco.find_first_of("\\/") == std::string::npos ? arquivoDaPastaBrisatts(leIni, banco)
                                                             : arquivoWindows(banco).string();
    a.regras = arquivoBrisatts(leIni, ".nrl");
    a.excecoes = arquivoBrisatts(leIni, ".exc");
    a.difones = arquivoBrisatts(leIni, ".dfn");
    a.prosodia = arquivoBrisatts(leIni, ".pro");
    a.abreviaturas = arquivoBrisatts(leIni, ".abr");
    return a;
}

bool ServidorBrisa::abre(int, int taxa, int tom) {
    fecha();
    if (!motor_.abre(arquivosDoIni(ambiente_))) {
        std::cerr << win1252ParaUtf8(motor_.ultimoErro()) << '\n';
        return false;
    }
    const FatoresFala f = fatoresDaFala(taxaNaEscala(taxa), std::clamp(tom, -10, 10));
    motor_.fatores(f.pitch, f.duracao);
    return true;
}

void ServidorBrisa::fala(std::string_view texto) {
    if (!motor_.aberto()) return;
    TocadorOnda& tocador = ambiente_.tocador;
    if (tocador.interrompivel && ambiente_.teclaPressionada()) return;
    // The engine sets its own pace: the player's speed-ups stay off while it speaks.
    const bool acelerado = tocador.acelerado, comprime = tocador.comprimeTempo;
    tocador.acelerado = false;
    tocador.comprimeTempo = false;
    motor_.fala(texto, [&](std::span<const uint8_t> o) {
        if (tocador.interrompivel && ambiente_.teclaPressionada()) {
            tocador.para();
            return false;
        }
        tocador.tocaMemoria(o);
        return true;
    });
    tocador.acelerado = acelerado;
    tocador.comprimeTempo = comprime;
}

bool ServidorBrisa::falando() {
    return motor_.aberto() && ambiente_.tocador.tocando();
}

void ServidorBrisa::para() {
    if (motor_.aberto()) ambiente_.tocador.para();
}

void ServidorBrisa::fecha() {
    if (!motor_.aberto()) return;
    para();
    motor_.fecha();
}
