#include "speech/tts/uttsProsodia.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/texto.h"

namespace {

constexpr size_t kMaxChaves = 1000;
constexpr size_t kMaxRegras = 300;
constexpr char kSecaoDuracao[] = "[DURA\xC7\xC3O]";
constexpr char kSecaoChaves[] = "[CHAVES]";
constexpr char kSecaoProsodia[] = "[PROS\xD3""DIA]";
constexpr char kMarcaFrase[] = "[--]";
constexpr unsigned char kFimTonica = 168;

bool inteiro(std::string_view s, int& v) {
    s = apara(s);
    if (!s.empty() && s[0] == '+') s.remove_prefix(1);
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && p == s.data() + s.size();
}

std::vector<std::string_view> linhas(std::string_view texto) {
    std::vector<std::string_view> r;
    size_t i = 0;
    while (i < texto.size()) {
        size_t f = texto.find('\n', i);
        if (f == std::string_view::npos) f = texto.size();
        std::string_view l = texto.substr(i, f - i);
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        r.push_back(l);
        i = f + 1;
    }
    return r;
}

// The lines of a section, without the skipped ones; false when the section is missing.
bool secao(const std::vector<std::string_view>& todas, std::string_view nome,
           std::vector<std::string_view>& saida) {
    auto it = std::find_if(todas.begin(), todas.end(), [&](std::string_view l) {
        return maiusculas1252(apara(l)) == nome;
    });
    if (it == todas.end()) return false;
    for (++it; it != todas.end(); ++it) {
        const std::string_view l = apara(*it);
        if (!l.empty() && l[0] == '[') break;
        if (l.empty() || l[0] == ';' || l[0] == '*') continue;
        saida.push_back(l);
    }
    return true;
}

bool contornoValido(std::string_view c) {
    if (c.size() != 3) return false;
    for (size_t i = 0; i < 3; ++i)
        if (!(std::isdigit(static_cast<unsigned char>(c[i])) || (i == 0 && c[i] == '?'))) return false;
    return true;
}

bool leProsodia(std::string_view l, ProsodiaTts& p) {
    const size_t igual = l.find('=');
    if (igual == std::string_view::npos) return false;
    const std::string chave = std::string(apara(l.substr(0, igual)));
    const std::string_view valor = apara(l.substr(igual + 1));
    if (chave == "HERTZ") return inteiro(valor, p.hertz) && p.hertz > 0;
    if (chave == "TABHERTZ") {
        std::array<int, 10> t{};
        size_t n = 0, i = 0;
        while (n < t.size() && i <= valor.size()) {
            size_t f = valor.find(',', i);
            if (f == std::string_view::npos) f = valor.size();
            if (!inteiro(valor.substr(i, f - i), t[n++]) || t[n - 1] < 0) return false;
            i = f + 1;
        }
        if (n != t.size()) return false;
        p.tabHertz = t;
        return true;
    }
    RegraContorno r;
    std::string campos[3];
    size_t i = 0;
    for (int k = 0; k < 3; ++k) {
        size_t f = k < 2 ? chave.find('|', i) : chave.size();
        if (f == std::string::npos) return false;
        campos[k] = std::string(apara(std::string_view(chave).substr(i, f - i)));
        i = f + 1;
    }
    r.anterior = campos[0];
    r.atual = campos[1];
    r.proximo = campos[2];
    r.contorno = std::string(valor);
    if (!contornoValido(r.contorno)) return false;
    if (p.regras.size() < kMaxRegras) p.regras.push_back(std::move(r));
    return true;
}

bool ehLetra(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    static constexpr std::string_view kAcentuadas = "\xC0\xC1\xC2\xC3\xC7\xC9\xCA\xCD\xD3\xD4\xD5\xDA\xDC";
    const unsigned char maiuscula = c >= 0xE0 ? static_cast<unsigned char>(c - 0x20) : c;
    return kAcentuadas.find(static_cast<char>(maiuscula)) != std::string_view::npos;
}

std::string chaveDoItem(const std::string& item) {
    return item.size() >= 3 ? item.substr(1, 2) : std::string();
}

}  // namespace

std::string ProsodiaTts::classe(std::string_view palavra) const {
    auto it = std::lower_bound(chaves.begin(), chaves.end(), palavra,
                               [](const auto& e, std::string_view p) { return e.first < p; });
    return it != chaves.end() && it->first == palavra ? it->second : "XX";
}

int ProsodiaTts::duracao(std::string_view fonema) const {
    auto it = duracoes.find(std::string(fonema));
    return it == duracoes.end() ? 100 : it->second;
}

bool interpretaProsodia(std::string_view texto, ProsodiaTts& p, std::string& mensagem) {
    p = ProsodiaTts{};
    const std::vector<std::string_view> todas = linhas(texto);
    std::vector<std::string_view> l;
    if (!secao(todas, kSecaoDuracao, l)) {
        mensagem = "Dura\xE7\xE3o dos difones errada ou ausente";
        return false;
    }
    for (std::string_view linha : l) {
        const size_t igual = linha.find('=');
        int ms = 0;
        const std::string_view fonema = igual == std::string_view::npos ? "" : apara(linha.substr(0, igual));
        if (fonema.empty() || fonema.size() > 2 || !inteiro(linha.substr(igual + 1), ms) || ms < 0) {
            mensagem = "Configura\xE7\xE3o da pros\xF3""dia: fonema errado: " + std::string(linha);
            return false;
        }
        p.duracoes[std::string(fonema)] = ms;
    }
    l.clear();
    if (!secao(todas, kSecaoChaves, l)) {
        mensagem = "Pros\xF3""dia: palavras chaves ausentes";
        return false;
    }
    for (std::string_view linha : l) {
        const size_t igual = linha.find('=');
        if (igual == std::string_view::npos || apara(linha.substr(igual + 1)).size() != 2) {
            mensagem = "Configura\xE7\xE3o da pros\xF3""dia: chave errada: " + std::string(linha);
            return false;
        }
        if (p.chaves.size() < kMaxChaves)
            p.chaves.emplace_back(maiusculas1252(apara(linha.substr(0, igual))),
                                  maiusculas1252(apara(linha.substr(igual + 1))));
    }
    std::stable_sort(p.chaves.begin(), p.chaves.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    l.clear();
    if (!secao(todas, kSecaoProsodia, l)) {
        mensagem = "Pros\xF3""dia: especifica\xE7\xF5""es ausentes";
        return false;
    }
    for (std::string_view linha : l)
        if (!leProsodia(maiusculas1252(linha), p)) {
            mensagem = "Configura\xE7\xE3o da pros\xF3""dia: chave errada: " + std::string(linha);
            return false;
        }
    return true;
}

bool carregaProsodia(const std::filesystem::path& arquivo, ProsodiaTts& p, std::string& mensagem) {
    std::ifstream f(arquivo, std::ios::binary);
    if (!f || std::filesystem::is_directory(arquivo)) {
        mensagem = "Configura\xE7\xE3o da pros\xF3""dia n\xE3o foi achada";
        return false;
    }
    const std::string texto{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    return interpretaProsodia(texto, p, mensagem);
}

std::vector<std::pair<std::string, std::string>> ListaDifones::interpreta(std::string_view texto) {
    std::vector<std::pair<std::string, std::string>> pares;
    auto ehFonema = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '@' || c == '2' || c == '_';
    };
    for (std::string_view l : linhas(texto)) {
        if (l.empty() || l[0] == '!' || l[0] == '*' || l[0] == ';') continue;
        std::vector<std::string> f;
        size_t i = 0;
        while (i < l.size() && f.size() < 2) {
            while (i < l.size() && !ehFonema(l[i])) ++i;
            const size_t ini = i;
            while (i < l.size() && ehFonema(l[i])) ++i;
            if (i > ini) f.emplace_back(l.substr(ini, i - ini));
        }
        if (f.size() == 2) pares.emplace_back(f[0], f[1]);
    }
    return pares;
}

void ListaDifones::define(const std::vector<std::pair<std::string, std::string>>& pares) {
    nomes_.clear();
    for (const auto& [a, b] : pares) nomes_.push_back(maiusculasAscii(a + "-" + b));
    std::sort(nomes_.begin(), nomes_.end());
}

bool ListaDifones::carrega(const std::filesystem::path& arquivo) {
    std::ifstream f(arquivo, std::ios::binary);
    if (!f || std::filesystem::is_directory(arquivo)) return false;
    const std::string texto{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    define(interpreta(texto));
    return !nomes_.empty();
}

bool ListaDifones::tem(std::string_view primeiro, std::string_view segundo) const {
    const std::string nome = maiusculasAscii(std::string(primeiro) + "-" + std::string(segundo));
    return std::binary_search(nomes_.begin(), nomes_.end(), nome);
}

std::vector<std::string> tokeniza(std::string_view texto, const ProsodiaTts& prosodia) {
    std::vector<std::string> itens{kMarcaFrase};
    size_t i = 0;
    while (i < texto.size()) {
        const auto c = static_cast<unsigned char>(texto[i]);
        std::string token, chave;
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c == '.' && i + 1 < texto.size() && texto[i + 1] == '.') {
            while (i < texto.size() && texto[i] == '.') ++i;
            token = ".-";
            chave = "..";
        } else if (ehLetra(c)) {
            const size_t ini = i;
            while (i < texto.size() && ehLetra(static_cast<unsigned char>(texto[i]))) ++i;
            token = std::string(texto.substr(ini, i - ini));
            chave = prosodia.classe(maiusculas1252(token));
        } else {
            token = std::string(1, static_cast<char>(c));
            chave = token + token;
            ++i;
        }
        itens.push_back("[" + chave + "]" + token);
        if (token[0] == '!' || token[0] == '.' || token[0] == '?') itens.push_back(kMarcaFrase);
    }
    return itens;
}

std::vector<std::string> Contornos::acrescenta(const std::vector<std::string>& itens, bool fim) {
    std::vector<std::string> saida;
    auto contorna = [&](const std::string& proximo) {
        const std::string atual = chaveDoItem(pendente_);
        std::string contorno = "555";
        for (const RegraContorno& r : prosodia_.regras)
            if ((r.anterior.empty() || r.anterior == anterior_) && (r.atual.empty() || r.atual == atual) &&
                (r.proximo.empty() || r.proximo == proximo)) {
                contorno = r.contorno;
                break;
            }
        if (contorno[0] == '?') contorno[0] = ultimo_;
        ultimo_ = contorno[2];
        saida.push_back(contorno + "|" + (pendente_.size() > 4 ? pendente_.substr(4) : ""));
        anterior_ = atual;
    };
    for (const std::string& item : itens) {
        if (temPendente_) contorna(chaveDoItem(item));
        pendente_ = item;
        temPendente_ = true;
    }
    // The end of the text ends a sentence: texts come phrase by phrase, often without
    // their full stop, and their last word still closes the line.
    if (fim && temPendente_) {
        contorna("--");
        temPendente_ = false;
    }
    return saida;
}

std::vector<std::string> daContornos(const std::vector<std::string>& itens,
                                     const ProsodiaTts& prosodia) {
    return Contornos(prosodia).acrescenta(itens, true);
}

FatoresFala fatoresDaFala(int taxa, int tom) {
    // Past the end of the rate scale the factor would reach zero or below, speech lasting
    // nothing: it stops at a tenth.
    const double duracao = std::max(0.1, 0.8 - taxa / 15.0);
    // Pitch 0 and up: (tom + 11) / 11, an octave higher at 11. Below 0 that line would reach
    // a tenth at -10, a pulse train far below any voice, so each step down lowers the pitch
    // by 3 % of the base instead: every step differs, the contours keep their shape, and -10
    // (0.7) puts the lowest level of the shipped voice at 64 Hz, still speech.
    const double pitch = tom >= 0 ? (tom + 11) / 11.0 : 1 + kPassoTomAbaixo * std::max(tom, -10);
    return {duracao, pitch};
}

namespace {

bool fimDaPalavra(const std::vector<std::string>& fonemas, size_t i) {
    return i + 1 >= fonemas.size() || fonemas[i + 1].empty() || fonemas[i + 1][0] == ';';
}

bool vogalOuSemivogal(std::string_view f) {
    while (!f.empty() && (f[0] == '>' || static_cast<unsigned char>(f[0]) == kFimTonica)) f.remove_prefix(1);
    return !f.empty() && std::string_view("aeiouEO@yw").find(f[0]) != std::string_view::npos;
}

// The word's last vowel or glide, where its voice ends: a final s or r after it is voiceless
// and cannot carry the end of the contour.
bool ultimaVogal(const std::vector<std::string>& fonemas, size_t i) {
    if (!vogalOuSemivogal(fonemas[i])) return false;
    for (size_t k = i + 1; k < fonemas.size() && !fonemas[k].empty() && fonemas[k][0] != ';'; ++k)
        if (vogalOuSemivogal(fonemas[k])) return false;
    return true;
}

int hertzDoNivel(char digito, const ProsodiaTts& p, const FatoresFala& f) {
    if (digito < '0' || digito > '9') return 0;
    const int nivel = p.tabHertz[static_cast<size_t>(digito - '0')];
    if (nivel == 0) return 0;
    return static_cast<int>(std::lround(nivel * f.pitch * p.hertz) / 100);
}

}  // namespace

std::vector<std::string> linhasFonemas(const std::vector<std::string>& fonemas,
                                       const ProsodiaTts& prosodia, const ListaDifones& difones,
                                       const FatoresFala& fatores) {
    std::vector<std::string> saida;
    EstadoLinhas e;
    linhasFonemas(fonemas, prosodia, difones, fatores, e, saida);
    return saida;
}

void linhasFonemas(const std::vector<std::string>& fonemas, const ProsodiaTts& prosodia,
                   const ListaDifones& difones, const FatoresFala& fatores, EstadoLinhas& e,
                   std::vector<std::string>& saida) {
    for (size_t i = 0; i < fonemas.size(); ++i) {
        std::string f = fonemas[i];
        if (f.empty()) continue;
        if (f[0] == ';') {
            const size_t barra = f.find('|');
            if (barra != std::string::npos && barra >= 4 && contornoValido(f.substr(1, 3)))
                e.contorno = f.substr(1, 3);
            const std::string palavra = barra == std::string::npos ? f.substr(1) : f.substr(barra + 1);
            saida.push_back(";" + palavra);
            e.comprimento = palavra.size() + 1;
            e.pitch = 0;
            continue;
        }
        if (f[0] == '>') {
            e.multiplicador = 145;
            f.erase(0, 1);
            if (!f.empty() && static_cast<unsigned char>(f[0]) == kFimTonica) f.erase(0, 1);
            e.pitch = 2;
        } else if (static_cast<unsigned char>(f[0]) == kFimTonica) {
            f.erase(0, 1);
            e.multiplicador = 100;
        }
        if (f.empty()) continue;
        int base = 0;
        if (f[0] == '_') {
            int n = 0;
            if (f == "_")
                base = 100;
            else if (f[1] == ' ' && inteiro(f.substr(2), n) && n >= 0)
                base = n;
            else
                base = prosodia.duracao(f);
            f = "_";
        } else {
            base = prosodia.duracao(f);
            if (e.pitch < 2 && e.comprimento >= 14)
                base = base * 80 / 100;
            else if (e.pitch < 2 && e.comprimento > 9)
                base = base * 90 / 100;
        }
        const long duracao = std::lround(base * e.multiplicador * fatores.duracao) / 100;
        std::ostringstream linha;
        linha << f << ' ' << duracao;
        auto alvo = [&](int posicao, char digito) {
            if (const int hz = hertzDoNivel(digito, prosodia, fatores); hz > 0)
                linha << ' ' << posicao << ' ' << hz;
        };
        if (e.pitch == 0) {
            alvo(50, e.contorno[0]);
            e.pitch = 1;
        } else if (e.pitch == 2) {
            e.pitch = 3;
            if (fimDaPalavra(fonemas, i) || ultimaVogal(fonemas, i)) {
                // A word stressed on its last vowel ends within it: the peak comes earlier and
                // the end level is reached before the voice stops, not on its last pulse.
                alvo(50, e.contorno[1]);
                alvo(85, e.contorno[2]);
            } else {
                alvo(80, e.contorno[1]);
            }
        } else if (e.pitch == 3 && (fimDaPalavra(fonemas, i) || ultimaVogal(fonemas, i))) {
            // The last vowel reaches the word's end level and what follows holds it.
            alvo(50, e.contorno[2]);
        }
        if (!difones.vazia() && !difones.tem(e.anterior, f)) {
            const bool pausa = e.anterior == "r2" && difones.tem("_", f);
            const std::string ponte = !pausa && difones.tem("y", f) ? "y" : "_";
            saida.push_back(ponte + " 50");
            e.anterior = ponte;
        }
        saida.push_back(linha.str());
        e.anterior = f;
    }
}
