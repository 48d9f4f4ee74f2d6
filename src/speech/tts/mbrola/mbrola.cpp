#include "speech/tts/mbrola/mbrola.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <list>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "speech/tts/mbrola/motorDifones.h"

struct Phone {
    std::string nome;
    float duracao = 0;
    std::vector<std::pair<float, float>> alvos;
};

namespace {

constexpr char kVersao[] = "PLUMAR difones 1.0";

// The library's one synthesizer, as the calls' shape asks for.
struct EstadoMbrola {
    std::optional<MotorDifones> motor;
    int erro = MBR_SEM_ERRO;
    std::string textoErro;
    bool semErro = false;
    float volume = 1.0f;
    std::list<Phone> fonemas;
};

EstadoMbrola& estado() {
    static EstadoMbrola e;
    return e;
}

int falha(int codigo, std::string texto) {
    estado().erro = codigo;
    estado().textoErro = std::move(texto);
    return codigo;
}

int copiaTexto(const std::string& texto, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    const size_t n = std::min(texto.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, texto.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

std::map<std::string, std::string> leRenomes(const char* rename) {
    std::map<std::string, std::string> nomes;
    std::istringstream in(rename ? rename : "");
    std::string velho, novo;
    while (in >> velho >> novo) nomes[velho] = novo;
    return nomes;
}

}  // namespace

extern "C" {

int init_rename_MBR(const char* database, const char* rename, const char*) {
    EstadoMbrola& e = estado();
    e.motor.reset();
    std::string erro;
    auto banco = leBancoVoz(database ? database : "", erro);
    if (!banco) return falha(MBR_ERRO_BASE, erro);
    e.motor.emplace(std::move(*banco));
    e.motor->permiteDesconhecidos(e.semErro);
    e.motor->volume(e.volume);
    e.motor->renomeia(leRenomes(rename));
    e.erro = MBR_SEM_ERRO;
    e.textoErro.clear();
    return 0;
}

int init_MBR(const char* database) {
    return init_rename_MBR(database, nullptr, nullptr);
}

int write_MBR(const char* line) {
    EstadoMbrola& e = estado();
    if (!e.motor) return falha(MBR_ERRO_FECHADO, "nenhuma base de difones aberta");
    std::string erro;
    if (!e.motor->escreve(line ? line : "", erro))
        return falha(erro.starts_with("fonema desconhecido") ? MBR_ERRO_FONEMA : MBR_ERRO_LINHA, erro);
    return 0;
}

int flush_MBR(void) {
    EstadoMbrola& e = estado();
    if (!e.motor) return falha(MBR_ERRO_FECHADO, "nenhuma base de difones aberta");
    e.motor->descarrega();
    return 0;
}

int read_MBR(int16_t* buffer, int count) {
    return readtype_MBR(buffer, count, MBR_LIN16);
}

int readtype_MBR(void* buffer, int count, int type) {
    EstadoMbrola& e = estado();
    if (!e.motor || !buffer || count <= 0) return 0;
    if (type == MBR_LIN16) return static_cast<int>(e.motor->le(static_cast<int16_t*>(buffer), static_cast<size_t>(count)));
    if (type != MBR_LIN8) return falha(MBR_ERRO_PARAMETRO, "formato de amostras desconhecido");
    std::vector<int16_t> a(static_cast<size_t>(count));
    const size_t n = e.motor->le(a.data(), a.size());
    auto* saida = static_cast<uint8_t*>(buffer);
    for (size_t i = 0; i < n; ++i) saida[i] = static_cast<uint8_t>((a[i] >> 8) + 128);
    return static_cast<int>(n);
}

void close_MBR(void) {
    EstadoMbrola& e = estado();
    e.motor.reset();
    e.fonemas.clear();
}

void reset_MBR(void) {
    EstadoMbrola& e = estado();
    if (e.motor) e.motor->reinicia();
    e.erro = MBR_SEM_ERRO;
    e.textoErro.clear();
}

int lastError_MBR(void) {
    return estado().erro;
}

int lastErrorStr_MBR(char* buffer, int size) {
    return copiaTexto(estado().textoErro, buffer, size);
}

void setNoError_MBR(int noError) {
    EstadoMbrola& e = estado();
    e.semErro = noError != 0;
    if (e.motor) e.motor->permiteDesconhecidos(e.semErro);
}

int getNoError_MBR(void) {
    return estado().semErro ? 1 : 0;
}

// The samples come at the database's rate; another rate is refused and the rate stays.
void setFreq_MBR(int freq) {
    if (freq != static_cast<int>(kTaxaBancoVoz))
        falha(MBR_ERRO_PARAMETRO, "taxa de amostragem não suportada: " + std::to_string(freq));
}

int getFreq_MBR(void) {
    return static_cast<int>(kTaxaBancoVoz);
}

void setVolumeRatio_MBR(float ratio) {
    EstadoMbrola& e = estado();
    if (!std::isfinite(ratio) || ratio < 0 || ratio > 8) {
        falha(MBR_ERRO_PARAMETRO, "volume fora da faixa");
        return;
    }
    e.volume = ratio;
    if (e.motor) e.motor->volume(ratio);
}

float getVolumeRatio_MBR(void) {
    return estado().volume;
}

int getVersion_MBR(char* buffer, int size) {
    return copiaTexto(kVersao, buffer, size);
}

// Index 0: the database in one line; 1: how many diphones it has; beyond: nothing.
int getDatabaseInfo_MBR(char* buffer, int size, int index) {
    EstadoMbrola& e = estado();
    if (!e.motor) return 0;
    const BancoVoz& b = e.motor->banco();
    if (index == 0)
        return copiaTexto("voz de difones, " + std::to_string(b.taxa) + " Hz, gravada a " +
                              std::to_string(b.hertzBase) + " Hz",
                          buffer, size);
    if (index == 1) return copiaTexto(std::to_string(b.difones.size()) + " difones", buffer, size);
    return 0;
}

void setParser_MBR(void* parser) {
    if (parser) falha(MBR_ERRO_PARAMETRO, "só o leitor de linhas próprio é aceito");
}

Phone* init_Phone(const char* name, float lengthMs) {
    std::list<Phone>& l = estado().fonemas;
    l.push_back(Phone{name ? name : "_", lengthMs, {}});
    return &l.back();
}

void reset_Phone(Phone* phone) {
    if (phone) phone->alvos.clear();
}

void close_Phone(Phone* phone) {
    estado().fonemas.remove_if([phone](const Phone& p) { return &p == phone; });
}

int appendf0_Phone(Phone* phone, float position, float freq) {
    if (!phone) return falha(MBR_ERRO_PARAMETRO, "fonema nulo");
    phone->alvos.emplace_back(position, freq);
    return 0;
}

int write_Phone(Phone* phone) {
    if (!phone) return falha(MBR_ERRO_PARAMETRO, "fonema nulo");
    std::ostringstream linha;
    linha << phone->nome << ' ' << phone->duracao;
    for (const auto& [pos, hz] : phone->alvos) linha << ' ' << pos << ' ' << hz;
    return write_MBR(linha.str().c_str());
}
}
