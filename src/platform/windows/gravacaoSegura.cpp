#include "platform/gravacaoSegura.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "platform/arquivoSistema.h"
#include "platform/caminhos.h"
#include "platform/descritor.h"
#include "platform/windows/utf16.h"

namespace fs = std::filesystem;

namespace {

// What a name is on disk now.
struct Situacao {
    bool existe = false;
    bool pasta = false;
    bool dispositivo = false;  // CON, NUL, COM1, a pipe: nothing there to lose
    bool somenteLeitura = false;
    DWORD nomes = 0;  // hard links
};

Situacao situacao(const fs::path& alvo) {
    Situacao s;
    HANDLE h = CreateFileW(caminhoLargo(alvo).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return s;
    s.existe = true;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(h) != FILE_TYPE_DISK) {
        s.dispositivo = true;
    } else if (GetFileInformationByHandle(h, &info)) {
        s.pasta = info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        s.somenteLeitura = info.dwFileAttributes & FILE_ATTRIBUTE_READONLY;
        s.nomes = info.nNumberOfLinks;
    }
    CloseHandle(h);
    return s;
}

// A C library descriptor for a file opened by the system's wide call; -1 when it failed.
int descritor(HANDLE h) {
    if (h == INVALID_HANDLE_VALUE) return -1;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), _O_BINARY);
    if (fd < 0) CloseHandle(h);
    return fd;
}

}  // namespace

GravacaoSegura::GravacaoSegura(const fs::path& destino, unsigned modoNovo) : destino_(destino) {
    const fs::path alvo = alvoDe(destino);
    const Situacao s = situacao(alvo);
    if (s.pasta) return;
    destino_ = alvo;
    if (s.dispositivo) {
        fd_ = descritor(CreateFileW(caminhoLargo(alvo).c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
        modo_ = Modo::Dispositivo;
        return;
    }
    // A file that may not be written is not replaced behind its back.
    if (s.existe && s.somenteLeitura) return;
    // A file with other names (hard links) keeps its identity: it is written where it is.
    // So is one whose folder cannot take a new file.
    if (!(s.existe && s.nomes > 1)) {
        ArquivoNovo novo(alvo.parent_path(), alvo.filename().string(), modoNovo);
        if (novo.aberto()) novo_.emplace(std::move(novo));
    }
    if (!novo_ && s.existe) abreNoLugar(alvo);
}

// Written in place, after a copy of the file as it was is safe in the state folder: any
// error puts that copy back. A save killed half-way leaves that copy, which the next
// opening of the file announces. The file is held against other writers meanwhile.
void GravacaoSegura::abreNoLugar(const fs::path& alvo) {
    const int fd = descritor(CreateFileW(caminhoLargo(alvo).c_str(), GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    if (fd < 0) return;
    std::string antes;
    const long long tamanho = _filelengthi64(fd);
    bool inteiro = tamanho >= 0;
    if (inteiro) {
        antes.resize(static_cast<size_t>(tamanho));
        size_t lidos = 0;
        while (lidos < antes.size()) {
            const unsigned parte = static_cast<unsigned>(std::min<size_t>(antes.size() - lidos, 1u << 30));
            const int n = _read(fd, antes.data() + lidos, parte);
            if (n <= 0) break;
            lidos += static_cast<size_t>(n);
        }
        inteiro = lidos == antes.size();
    }
    // It could not be read whole: not written over.
    if (!inteiro) {
        _close(fd);
        return;
    }
    std::error_code ec;
    fs::create_directories(diretorioEstado(), ec);
    const fs::path modelo = modeloCopiaAntes(alvo);
    const std::wstring nomeModelo = modelo.filename().native();
    const size_t sorteio = nomeModelo.rfind(L"XXXXXX");
    for (int tentativa = 0; tentativa < 100 && copiaAntes_.empty(); ++tentativa) {
        // The random hex digits at the end of a free temporary name.
        const std::wstring hexa = nomeTemporarioLivre(".", "x").filename().native();
        std::wstring nome = nomeModelo;
        nome.replace(sorteio, 6, hexa.substr(hexa.size() - 6));
        const fs::path copia = modelo.parent_path() / nome;
        const int fdCopia = criaExclusivo(copia);
        if (fdCopia < 0) {
            if (errno == EEXIST) continue;
            break;
        }
        const Descritor d(fdCopia);
        if (escreveTudo(d.fd(), antes) && sincronizaDescritor(d.fd()))
            copiaAntes_ = copia;
        else
            DeleteFileW(caminhoLargo(copia).c_str());
        break;
    }
    if (copiaAntes_.empty() || !voltaAoInicio(fd)) {
        _close(fd);
        return;
    }
    fd_ = fd;
    antes_ = std::move(antes);
    modo_ = Modo::NoLugar;
}
