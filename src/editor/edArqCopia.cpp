#include "editor/edArqCopia.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <system_error>

#include "editor/edArqDisco.h"
#include "editor/edMensag.h"
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

std::string hexa(uint64_t v, int digitos) {
    static constexpr char kDigitos[] = "0123456789abcdef";
    std::string s(static_cast<size_t>(digitos), '0');
    for (int i = digitos - 1; i >= 0; --i, v >>= 4) s[static_cast<size_t>(i)] = kDigitos[v & 15];
    return s;
}

// The copies of one file in the state folder: its name (cut) and a hash of its whole path,
// so that two files of the same name in different folders keep apart.
std::string baseNoEstado(const fs::path& caminho) {
    if (caminho.empty()) return "sem-nome-" + std::to_string(::getpid());
    uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : caminho.native()) h = (h ^ c) * 1099511628211ull;
    return caminho.filename().string().substr(0, 100) + "-" + hexa(h, 8);
}

bool criaPastaEstado(const fs::path& pasta) {
    std::error_code ec;
    fs::create_directories(pasta, ec);
    ::chmod(pasta.c_str(), 0700);
    return fs::is_directory(pasta, ec);
}

// A new file with `bytes`, only for this user, flushed; false when the name is taken or
// the file cannot be written (a half-written one is removed).
bool gravaArquivoNovo(const fs::path& caminho, const EdVars& ed, int& erro) {
    const int fd = ::open(caminho.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) {
        erro = errno;
        return false;
    }
    bool ok = true;
    bytesDoTexto(ed, 1, ed.nLinhas(), [&](std::string_view b) {
        while (ok && !b.empty()) {
            const ssize_t n = ::write(fd, b.data(), b.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) ok = false;
            else b.remove_prefix(static_cast<size_t>(n));
        }
    });
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    erro = ok ? 0 : EIO;
    if (!ok) ::unlink(caminho.c_str());
    return ok;
}

// BASE.save, else BASE.1.save, BASE.2.save... in `pasta`.
std::optional<fs::path> gravaNumerada(const fs::path& pasta, const std::string& base,
                                      const EdVars& ed) {
    for (int n = 0; n <= kMaiorNumero; ++n) {
        std::string nome = base;
        if (n > 0) nome += "." + std::to_string(n);
        nome += kExtensaoEmergencia;
        const fs::path p = pasta / nome;
        int erro = 0;
        if (gravaArquivoNovo(p, ed, erro)) return p;
        if (erro != EEXIST) return std::nullopt;
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
    if (cod.utf8 && cod.bom && primeira == 1) escreve("\xEF\xBB\xBF");
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
    if (!ed.recuperacao.arquivo.empty()) ::unlink(ed.recuperacao.arquivo.c_str());
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
    GravacaoSegura g(destino, 0600);
    if (!g.criada()) return;
    bytesDoTexto(ed, 1, ed.nLinhas(), [&g](std::string_view b) { g.escreve(b); });
    if (!g.conclui()) return;
    // The copy of a file saved under another name since then is not needed any more.
    if (!r.arquivo.empty() && r.arquivo != destino.string()) ::unlink(r.arquivo.c_str());
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
    auto considera = [&](const fs::path& p, bool recuperacao) {
        const std::optional<fs::file_time_type> t = momento(p);
        if (!t || (original && *t <= *original)) return;
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
    return melhor;
}

void anunciaCopia(Editor& e) {
    const std::optional<CopiaEncontrada> copia = copiaMaisNova(e.ed.nomeArquivo);
    if (!copia) return;
    const std::time_t t = std::chrono::system_clock::to_time_t(
        std::chrono::file_clock::to_sys(copia->quando));
    std::tm tm{};
    localtime_r(&t, &tm);
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
