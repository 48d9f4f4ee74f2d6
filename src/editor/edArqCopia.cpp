#include "editor/edArqCopia.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <system_error>
#include <utility>

#include "editor/edArqDisco.h"
#include "editor/edMensag.h"
#include "platform/arquivoNovo.h"
#include "platform/caminhos.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kExtensaoEmergencia = ".save";
constexpr std::string_view kExtensaoRecuperacao = ".recupera";
constexpr int kMaiorNumero = 999;

// The file's path on disk, absolute; empty for a text without a name.
fs::path caminhoDoTexto(std::string_view nomeArquivo) {
    if (nomeArquivo.empty()) return {};
    std::error_code ec;
    fs::path p = fs::absolute(caminhoSistema(nomeArquivo), ec);
    return ec ? caminhoSistema(nomeArquivo) : p.lexically_normal();
}

bool criaPastaEstado(const fs::path& pasta) {
    std::error_code ec;
    fs::create_directories(pasta, ec);
    fs::permissions(pasta, fs::perms::owner_all, ec);  // texts are private
    return fs::is_directory(pasta, ec);
}

// The text, as a save writes it, into the new file `copia`; false on a failed write.
bool escreveTexto(ArquivoNovo& copia, const EdVars& ed) {
    bool ok = copia.aberto();
    bytesDoTexto(ed, 1, ed.nLinhas(), [&](std::string_view b) { ok = ok && copia.escreve(b); });
    return ok;
}

// BASE.save, else BASE.1.save, BASE.2.save... in `pasta`: written whole under a temporary
// name first, so a copy that has its name is never a part of the text.
std::optional<fs::path> gravaNumerada(const fs::path& pasta, const std::string& base,
                                      const EdVars& ed) {
    ArquivoNovo copia(pasta, base + std::string(kExtensaoEmergencia), 0600);
    if (!escreveTexto(copia, ed)) return std::nullopt;
    for (int n = 0; n <= kMaiorNumero; ++n) {
        std::string nome = base;
        if (n > 0) nome += "." + std::to_string(n);
        nome += kExtensaoEmergencia;
        const fs::path p = pasta / nome;
        if (copia.nomeia(p)) return p;
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}

// Whether `nome` is BASE.save or BASE.N.save.
bool nomeDeEmergencia(std::string_view nome, std::string_view base) {
    if (nome.size() < base.size() + kExtensaoEmergencia.size() || !nome.starts_with(base) ||
        !nome.ends_with(kExtensaoEmergencia))
        return false;
    std::string_view meio =
        nome.substr(base.size(), nome.size() - base.size() - kExtensaoEmergencia.size());
    if (meio.empty()) return true;
    if (meio[0] != '.' || meio.size() < 2) return false;
    return std::all_of(meio.begin() + 1, meio.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<fs::file_time_type> momento(const fs::path& p) {
    std::error_code ec;
    const fs::file_status st = fs::status(p, ec);
    if (ec || !fs::is_regular_file(st)) return std::nullopt;
    const fs::file_time_type t = fs::last_write_time(p, ec);
    if (ec) return std::nullopt;
    return t;
}

}  // namespace

void bytesDoTexto(const EdVars& ed, int primeira, int ultima,
                  const std::function<void(std::string_view)>& escreve) {
    primeira = std::max(primeira, 1);
    ultima = std::min(ultima, ed.nLinhas());
    const CodificacaoArquivo& cod = ed.codificacao;
    // A UTF-8 file whose last line had no line end is written back without one.
    const bool semQuebraNoFim = cod.utf8 && cod.semQuebraNoFim && ultima == ed.nLinhas();
    while (ultima >= primeira && ed.texto.vista(ultima).empty()) --ultima;
    if (primeira == 1 && !cod.marcaInicio().empty()) escreve(cod.marcaInicio());
    for (int i = primeira; i <= ultima; ++i) {
        if (cod.utf8)
            escreve(cod.codificaLinha(ed.texto.vista(i)));
        else
            escreve(ed.texto.vista(i));
        if (i < ultima || !semQuebraNoFim) escreve(cod.quebra());
    }
}

std::optional<fs::path> gravaCopiaEmergencia(const EdVars& ed, bool aoLado) {
    if (!ed.modificado()) return std::nullopt;
    const fs::path caminho = caminhoDoTexto(ed.nomeArquivo);
    if (aoLado && !caminho.empty() && caminho.has_filename()) {
        if (auto p = gravaNumerada(caminho.parent_path(), caminho.filename().string(), ed))
            return p;
    }
    const fs::path estado = diretorioEstado();
    if (!criaPastaEstado(estado)) return std::nullopt;
    return gravaNumerada(estado, baseNoEstado(caminho), ed);
}

fs::path arquivoRecuperacao(const EdVars& ed) {
    return diretorioEstado() /
           (baseNoEstado(caminhoDoTexto(ed.nomeArquivo)) + std::string(kExtensaoRecuperacao));
}

void removeRecuperacao(EdVars& ed) {
    std::error_code ec;
    if (!ed.recuperacao.arquivo.empty()) fs::remove(ed.recuperacao.arquivo, ec);
    ed.recuperacao = {};
}

void verificaRecuperacao(Editor& e) {
    EdVars& ed = e.ed;
    EstadoRecuperacao& r = ed.recuperacao;
    if (!ed.modificado()) {
        if (!r.arquivo.empty() || r.mudouMs) removeRecuperacao(ed);
        return;
    }
    const fs::path destino = arquivoRecuperacao(ed);
    if (r.arquivo == destino.string() && r.versao == ed.texto.versao()) return;
    const uint64_t agora = e.crt.agoraMs();
    if (!r.mudouMs) r.mudouMs = agora;
    if (agora - *r.mudouMs < kIntervaloRecuperacaoMs) return;
    if (r.gravadaMs && agora - *r.gravadaMs < 1000) return;
    r.gravadaMs = agora;
    if (!criaPastaEstado(destino.parent_path())) return;
    // The program's own name in its own folder: whatever lies there is replaced, never
    // followed.
    ArquivoNovo copia(destino.parent_path(), destino.filename().string(), 0600);
    if (!escreveTexto(copia, ed) || !copia.substitui(destino)) return;
    // The copy of a file saved under another name since then is not needed any more.
    std::error_code ec;
    if (!r.arquivo.empty() && r.arquivo != destino.string()) fs::remove(r.arquivo, ec);
    r.arquivo = destino.string();
    r.versao = ed.texto.versao();
    r.mudouMs.reset();
}

void protegeTexto(Editor& e) {
    e.crt.aoEncerrarDeFora([&e] {
        if (gravaCopiaEmergencia(e.ed, true)) removeRecuperacao(e.ed);
    });
    e.crt.aoOcioso([&e] { verificaRecuperacao(e); });
}

std::optional<CopiaEncontrada> copiaMaisNova(std::string_view nomeArquivo) {
    const fs::path caminho = caminhoDoTexto(nomeArquivo);
    if (caminho.empty() || !caminho.has_filename()) return std::nullopt;
    std::optional<CopiaEncontrada> melhor;
    const std::optional<fs::file_time_type> original = momento(caminho);
    // A copy kept by a save in place that never finished counts whatever its time: the
    // file was written after it, but only in part.
    auto considera = [&](const fs::path& p, bool recuperacao, bool qualquerHora = false) {
        const std::optional<fs::file_time_type> t = momento(p);
        if (!t || (original && *t <= *original && !qualquerHora)) return;
        if (!melhor || *t > melhor->quando) melhor = CopiaEncontrada{p, recuperacao, *t};
    };
    auto procura = [&](const fs::path& pasta, const std::string& base) {
        std::error_code ec;
        for (fs::directory_iterator it(pasta, ec), fim; !ec && it != fim; it.increment(ec)) {
            const std::string nome = it->path().filename().string();
            if (nomeDeEmergencia(nome, base)) considera(it->path(), false);
        }
    };
    procura(caminho.parent_path(), caminho.filename().string());
    const std::string base = baseNoEstado(caminho);
    procura(diretorioEstado(), base);
    considera(diretorioEstado() / (base + std::string(kExtensaoRecuperacao)), true);
    // Of several such copies the oldest is the last whole text: each later save in place
    // began from the file a killed one had left mixed.
    std::optional<std::pair<fs::file_time_type, fs::path>> antes;
    for (const fs::path& p : copiasAntes(caminho))
        if (const auto t = momento(p); t && (!antes || *t < antes->first)) antes.emplace(*t, p);
    if (antes) considera(antes->second, false, true);
    return melhor;
}

void anunciaCopia(Editor& e) {
    const std::optional<CopiaEncontrada> copia = copiaMaisNova(e.ed.nomeArquivo);
    if (!copia) return;
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::file_clock::to_sys(copia->quando));
    const std::tm tm = horaLocal(t);
    falaMensagem(e, copia->recuperacao ? "EDCOPREC" : "EDCOPEME");
    char quando[64];
    std::snprintf(quando, sizeof quando, " %02d:%02d %02d/%02d/%04d: ", tm.tm_hour, tm.tm_min,
                  tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900);
    const std::string linha = quando + nomeEditor(copia->arquivo);
    const int resto = SnCrt::kColunas - e.crt.WhereX();
    e.crt.escreve(linha.substr(0, static_cast<size_t>(std::max(resto, 0))));
    e.fala.falaHora(tm.tm_hour, tm.tm_min);
    e.fala.falaData(tm.tm_mday, tm.tm_mon + 1, tm.tm_year + 1900);
    e.fala.falaTexto(nomeEditor(copia->arquivo.filename()));
}
