#include "platform/gravacaoSegura.h"

#include <cstdint>
#include <system_error>

#include "platform/arquivoSistema.h"
#include "platform/caminhos.h"
#include "platform/descritor.h"

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kExtensaoAntes = ".antes";
constexpr size_t kSorteioAntes = 6;  // the random part of a copy's name
constexpr size_t kPedaco = 1 << 20;  // bytes written at a time

// The key of a file's copies kept by saves in place: its real path, so that a save through
// a link and the opening of the link find the same ones.
fs::path caminhoReal(const fs::path& p) {
    std::error_code ec;
    const fs::path absoluto = fs::absolute(p, ec);
    const fs::path real = fs::weakly_canonical(ec ? p : absoluto, ec);
    return ec ? p : real;
}

}  // namespace

std::string baseNoEstado(const fs::path& caminho) {
    if (caminho.empty()) return "sem-nome-" + std::to_string(idProcesso());
    uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (const auto c : caminho.native()) h = (h ^ static_cast<uint64_t>(c)) * 1099511628211ull;
    static constexpr char kDigitos[] = "0123456789abcdef";
    std::string sufixo(8, '0');
    for (int i = 7; i >= 0; --i, h >>= 4) sufixo[static_cast<size_t>(i)] = kDigitos[h & 15];
    return caminho.filename().string().substr(0, 100) + "-" + sufixo;
}

std::vector<fs::path> copiasAntes(const fs::path& arquivo) {
    const std::string base = baseNoEstado(caminhoReal(arquivo)) + ".";
    std::vector<fs::path> copias;
    std::error_code ec;
    const fs::path estado = diretorioEstado();
    for (fs::directory_iterator it(estado, ec), fim; !ec && it != fim; it.increment(ec)) {
        const std::string nome = it->path().filename().string();
        if (nome.size() == base.size() + kSorteioAntes + kExtensaoAntes.size() &&
            nome.starts_with(base) && nome.ends_with(kExtensaoAntes))
            copias.push_back(it->path());
    }
    return copias;
}

fs::path GravacaoSegura::alvoDe(const fs::path& destino) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(destino, ec))) {
        fs::path real = fs::canonical(destino, ec);
        if (!ec) return real;
    }
    return destino;
}

fs::path GravacaoSegura::modeloCopiaAntes(const fs::path& alvo) {
    return diretorioEstado() / (baseNoEstado(caminhoReal(alvo)) + "." +
                                std::string(kSorteioAntes, 'X') + std::string(kExtensaoAntes));
}

GravacaoSegura::GravacaoSegura(GravacaoSegura&& outra) noexcept
    : destino_(std::move(outra.destino_)),
      copiaAntes_(std::move(outra.copiaAntes_)),
      antes_(std::move(outra.antes_)),
      novo_(std::move(outra.novo_)),
      fd_(outra.fd_),
      modo_(outra.modo_),
      falhou_(outra.falhou_),
      escritos_(outra.escritos_),
      buffer_(std::move(outra.buffer_)) {
    outra.fd_ = -1;
    outra.novo_.reset();
    outra.copiaAntes_.clear();
}

GravacaoSegura::~GravacaoSegura() {
    descarta();
}

void GravacaoSegura::escreve(std::string_view bytes) {
    if (fd() < 0 || falhou_) return;
    buffer_.append(bytes);
    if (buffer_.size() >= kPedaco) esvazia();
}

bool GravacaoSegura::esvazia() {
    if (!falhou_ && !buffer_.empty()) {
        if (escreveTudo(fd(), buffer_))
            escritos_ += buffer_.size();
        else
            falhou_ = true;
    }
    buffer_.clear();
    return !falhou_;
}

void GravacaoSegura::descarta() {
    std::error_code ec;
    if (modo_ == Modo::NoLugar && fd_ >= 0) {
        // Nothing written yet: the file is as it was and its copy is not needed.
        if (escritos_ > 0)
            restaura();
        else if (!copiaAntes_.empty())
            fs::remove(copiaAntes_, ec);
        copiaAntes_.clear();
    }
    if (fd_ >= 0) fechaDescritor(fd_);
    fd_ = -1;
    novo_.reset();  // the new file goes unnamed
}

// The file as it was, from the copy kept in memory; the copy in the state folder stays
// when even that fails.
void GravacaoSegura::restaura() {
    const bool ok = voltaAoInicio(fd_) && escreveTudo(fd_, antes_) &&
                    cortaDescritor(fd_, antes_.size()) && sincronizaDescritor(fd_);
    std::error_code ec;
    if (ok && !copiaAntes_.empty()) fs::remove(copiaAntes_, ec);
    if (ok) copiaAntes_.clear();
    escritos_ = 0;
}

bool GravacaoSegura::conclui() {
    if (fd() < 0) return false;
    esvazia();
    if (modo_ == Modo::NoLugar) return concluiNoLugar();
    if (modo_ == Modo::Dispositivo) {
        const bool fechou = fechaDescritor(fd_);
        fd_ = -1;
        return fechou && !falhou_;
    }
    if (falhou_ || !novo_->substitui(destino_)) {
        descarta();
        return false;
    }
    novo_.reset();
    esqueceCopiasAntes();
    return true;
}

bool GravacaoSegura::concluiNoLugar() {
    if (!falhou_ && (!cortaDescritor(fd_, escritos_) || !sincronizaDescritor(fd_))) falhou_ = true;
    if (falhou_) {
        restaura();
        fechaDescritor(fd_);
        fd_ = -1;
        return false;
    }
    const bool fechou = fechaDescritor(fd_);
    fd_ = -1;
    if (fechou) {
        std::error_code ec;
        fs::remove(copiaAntes_, ec);
        copiaAntes_.clear();
        esqueceCopiasAntes();
    }
    return fechou;
}

// A good save: the copies that saves in place of this file left when they were killed
// half-way are older than it, and go.
void GravacaoSegura::esqueceCopiasAntes() {
    std::error_code ec;
    for (const fs::path& p : copiasAntes(destino_)) fs::remove(p, ec);
}
