#include "speech/tts/uttsBrisa.h"

#include <algorithm>
#include <iostream>

#include "platform/caminhos.h"
#include "platform/codigos.h"
#include "platform/texto.h"
#include "speech/tocadorOnda.h"
#include "speech/tts/mbrola/mbrola.h"

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

std::vector<std::string> MotorBrisa::linhas(std::string_view texto) const {
    const std::string_view t = apara(texto);
    if (t.empty()) return {};
    const std::string normal = preproc_.normaliza(t);
    const auto itens = daContornos(tokeniza(normal, prosodia_), prosodia_);
    return linhasFonemas(portug_.converte(itens), prosodia_, difones_, fatores_);
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
    if (!aberto_) return false;
    const std::vector<std::string> l = linhas(texto);
    if (l.empty()) return true;
    reset_MBR();
    bool aceito = true;
    BufferOnda buffer(toca);
    std::vector<int16_t> bloco(kAmostrasPorLeitura);
    auto le = [&] {
        int n = 0;
        while (buffer.seguindo() && (n = read_MBR(bloco.data(), static_cast<int>(bloco.size()))) > 0)
            buffer.acrescenta(std::span(bloco).first(static_cast<size_t>(n)));
    };
    for (const std::string& linha : l) {
        if (!buffer.seguindo()) break;
        write_MBR((linha + "\r\n").c_str());
        if (lastError_MBR() != 0) {
            reset_MBR();
            aceito = false;
        }
        le();
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
    auto le = [&](const char* chave, const char* padrao) {
        const std::string v(apara(ambiente.leIni("BRISATTS", chave)));
        return v.empty() ? std::string(padrao) : v;
    };
    std::string dir = le("DIR", "\\ornato\\brisatts\\");
    if (dir.back() != '\\' && dir.back() != '/') dir += '\\';
    const std::string base = le("BASE", "portug");
    auto arquivo = [&](const std::string& nome) { return arquivoWindows(dir + nome).string(); };
    ArquivosBrisa a;
    // No registry of databases here: a bare name is a database of the rule files' folder.
    const std::string banco = le("MBROLA_DB", "br4");
    a.base = banco.find_first_of("\\/") == std::string::npos ? arquivo(banco)
                                                             : arquivoWindows(banco).string();
    a.regras = arquivo(base + ".nrl");
    a.excecoes = arquivo(base + ".exc");
    a.difones = arquivo(base + ".dfn");
    a.prosodia = arquivo(base + ".pro");
    a.abreviaturas = arquivo(base + ".abr");
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
