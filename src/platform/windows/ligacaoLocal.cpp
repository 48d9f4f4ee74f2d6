// The local link on Windows: a named pipe \\.\pipe\sonare-SID-APPLICATION.TOPIC per user.
// Its security descriptor lets only this user open it, remote clients are refused, and a
// client speaks only to a pipe this user owns, without letting the server act as it.
// Every read and write is overlapped, so each one keeps the conversation's deadline.
#include "platform/ligacaoLocal.h"

#include <windows.h>
// After windows.h, which they need.
#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/ligacaoConversa.h"
#include "utf16.h"

namespace fs = std::filesystem;

namespace ligacao {

namespace {

struct FechaAlca {
    void operator()(HANDLE h) const noexcept {
        if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
using Alca = std::unique_ptr<void, FechaAlca>;

struct LiberaLocal {
    void operator()(void* p) const noexcept { LocalFree(p); }
};

DWORD restaMs(Relogio::time_point prazo) {
    const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(prazo - Relogio::now());
    return resta.count() > 0 ? static_cast<DWORD>(resta.count()) : 0;
}

// This user's security identifier, and its text form.
struct Usuario {
    std::vector<BYTE> sid;
    std::wstring texto;
};

const Usuario& usuarioAtual() {
    static const Usuario u = [] {
        Usuario r;
        HANDLE t = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &t)) return r;
        Alca token(t);
        DWORD n = 0;
        GetTokenInformation(t, TokenUser, nullptr, 0, &n);
        std::vector<BYTE> dados(n);
        if (n == 0 || !GetTokenInformation(t, TokenUser, dados.data(), n, &n)) return r;
        PSID sid = reinterpret_cast<TOKEN_USER*>(dados.data())->User.Sid;
        r.sid.assign(static_cast<BYTE*>(sid), static_cast<BYTE*>(sid) + GetLengthSid(sid));
        LPWSTR texto = nullptr;
        if (ConvertSidToStringSidW(sid, &texto)) {
            r.texto = texto;
            LocalFree(texto);
        }
        return r;
    }();
    return u;
}

// Whether the pipe at the other end of `h` belongs to this user.
bool doUsuario(HANDLE h) {
    PSID dono = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (GetSecurityInfo(h, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &dono, nullptr,
                        nullptr, nullptr, &sd) != ERROR_SUCCESS)
        return false;
    std::unique_ptr<void, LiberaLocal> liberar(sd);
    const Usuario& u = usuarioAtual();
    return dono && !u.sid.empty() && EqualSid(dono, const_cast<BYTE*>(u.sid.data()));
}

// One end of a pipe, read and written with a deadline.
class Tubo final : public Canal {
  public:
    explicit Tubo(HANDLE h) : h_(h), evento_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    HANDLE alca() const { return h_.get(); }
    bool valido() const { return h_.get() != INVALID_HANDLE_VALUE && h_ && evento_; }

    bool escreveTudo(std::string_view dados, Relogio::time_point prazo) override {
        while (!dados.empty()) {
            const DWORD n = static_cast<DWORD>(std::min<size_t>(dados.size(), 1 << 16));
            DWORD feito = 0;
            if (!espera(WriteFile(alca(), dados.data(), n, nullptr, &ov()), feito, prazo) ||
                feito == 0)
                return false;
            dados.remove_prefix(feito);
        }
        return true;
    }

    bool leExato(char* destino, size_t n, Relogio::time_point prazo) override {
        while (n > 0) {
            const DWORD pedido = static_cast<DWORD>(std::min<size_t>(n, 1 << 16));
            DWORD feito = 0;
            if (!espera(ReadFile(alca(), destino, pedido, nullptr, &ov()), feito, prazo) ||
                feito == 0)
                return false;  // the peer closed, or an error
            destino += feito;
            n -= feito;
        }
        return true;
    }

    // A connection of a client to this server end, waited for until `prazo`.
    bool aguardaCliente(Relogio::time_point prazo) {
        DWORD nada = 0;
        if (ConnectNamedPipe(alca(), &ov())) return true;
        if (GetLastError() == ERROR_PIPE_CONNECTED) return true;
        // A client that came and went before it was served: the instance is freed for
        // the next one.
        if (GetLastError() == ERROR_NO_DATA) {
            DisconnectNamedPipe(alca());
            return false;
        }
        return espera(FALSE, nada, prazo);
    }

  private:
    OVERLAPPED& ov() {
        ov_ = {};
        ResetEvent(evento_.get());
        ov_.hEvent = evento_.get();
        return ov_;
    }

    // Waits for the overlapped call just made; on the deadline it is cancelled.
    bool espera(BOOL feitoJa, DWORD& bytes, Relogio::time_point prazo) {
        if (!feitoJa && GetLastError() != ERROR_IO_PENDING) return false;
        if (!feitoJa && WaitForSingleObject(evento_.get(), restaMs(prazo)) != WAIT_OBJECT_0) {
            CancelIoEx(alca(), &ov_);
            GetOverlappedResult(alca(), &ov_, &bytes, TRUE);
            return false;
        }
        return GetOverlappedResult(alca(), &ov_, &bytes, FALSE) != 0;
    }

    Alca h_;
    Alca evento_;
    OVERLAPPED ov_{};
};

// A client's end of the pipe `nome` when its server is this user's, waiting while every
// instance is busy; an invalid one when nobody listens.
Tubo conecta(const std::wstring& nome, Relogio::time_point prazo) {
    for (;;) {
        HANDLE h = CreateFileW(nome.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION,
                               nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            Tubo t(h);
            return doUsuario(h) ? std::move(t) : Tubo(INVALID_HANDLE_VALUE);
        }
        if (GetLastError() != ERROR_PIPE_BUSY || restaMs(prazo) == 0 ||
            !WaitNamedPipeW(nome.c_str(), std::max<DWORD>(restaMs(prazo), 1)))
            return Tubo(INVALID_HANDLE_VALUE);
    }
}

}  // namespace

fs::path pastaLigacoes() {
    return fs::path(L"\\\\.\\pipe\\sonare-" + usuarioAtual().texto);
}

// Named pipes live in no folder: only the pipe's own security descriptor guards it.
std::string preparaPasta(const fs::path&) {
    return usuarioAtual().texto.empty() ? "o usuário do Windows não foi identificado" : "";
}

fs::path enderecoServidor(const fs::path& pasta, std::string_view aplicacao, std::string_view topico) {
    const std::string a = nomeEndereco(aplicacao), t = nomeEndereco(topico);
    if (a.empty() || t.empty()) return {};
    // A pipe's name holds no backslash after \\.\pipe\, so the names are joined by "-".
    return fs::path(pasta.native() + L"-" + paraUtf16(a + "." + t));
}

Resultado entrega(std::string_view aplicacao, std::string_view topico, std::string_view item,
                  std::string_view dados, std::chrono::milliseconds prazoTotal) {
    const auto prazo = Relogio::now() + prazoTotal;
    if (!preparaPasta({}).empty()) return Resultado::SemServidor;
    const fs::path endereco = enderecoServidor(pastaLigacoes(), aplicacao, topico);
    if (endereco.empty()) return Resultado::SemServidor;
    Tubo t = conecta(endereco.native(), prazo);
    if (!t.valido()) return Resultado::SemServidor;
    return conversaCliente(t, aplicacao, topico, item, dados, prazo);
}

// The server's one instance of its pipe.
struct Servidor::Escuta {
    explicit Escuta(HANDLE h) : tubo(h) {}
    Tubo tubo;
};

Servidor::Servidor() = default;
Servidor::~Servidor() = default;

std::string Servidor::abre(std::string_view aplicacao, std::string_view topico) {
    if (std::string erro = preparaPasta({}); !erro.empty()) return erro;
    endereco_ = enderecoServidor(pastaLigacoes(), aplicacao, topico);
    if (endereco_.empty()) return "nome de aplicação ou tópico inválido";
    // Owned by this user (not by the administrators' group an elevated token would give),
    // full access for this user alone; nobody else, not even to look.
    const std::wstring& eu = usuarioAtual().texto;
    const std::wstring sddl = L"O:" + eu + L"D:P(A;;GA;;;" + eu + L")";
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &sd,
                                                              nullptr))
        return "não foi possível proteger a ligação local";
    std::unique_ptr<void, LiberaLocal> liberar(sd);
    SECURITY_ATTRIBUTES sa{sizeof sa, sd, FALSE};
    HANDLE h = CreateNamedPipeW(
        endereco_.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1,
        1 << 16, 1 << 16, 0, &sa);
    if (h == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_ACCESS_DENIED || GetLastError() == ERROR_PIPE_BUSY)
            return "outro servidor já atende " + nomeEndereco(aplicacao) + "." +
                   nomeEndereco(topico);
        return "não foi possível abrir a ligação local (erro " +
               std::to_string(GetLastError()) + ")";
    }
    auto escuta = std::make_unique<Escuta>(h);
    if (!escuta->tubo.valido()) return "não foi possível abrir a ligação local";
    escuta_ = std::move(escuta);
    aplicacao_ = aplicacao;
    topico_ = topico;
    return {};
}

std::optional<Entrega> Servidor::atende(std::chrono::milliseconds esperaMax) {
    if (!escuta_ || !escuta_->tubo.aguardaCliente(Relogio::now() + esperaMax))
        return std::nullopt;
    std::optional<Entrega> e = conversaServidor(escuta_->tubo, aplicacao_, topico_);
    // The one instance is free again for the next client.
    DisconnectNamedPipe(escuta_->tubo.alca());
    return e;
}

}  // namespace ligacao
