#include "platform/ligacaoBraille.h"

#if PLUMAR_COM_BRLAPI

#include <brlapi.h>
#include <signal.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/codigos.h"

namespace {

using Relogio = std::chrono::steady_clock;

int64_t agoraMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Relogio::now().time_since_epoch())
        .count();
}

std::optional<uint16_t> teclaDoSimbolo(uint64_t simbolo) {
    switch (simbolo) {
        case BRLAPI_KEY_SYM_BACKSPACE: return vk::Backspace;
        case BRLAPI_KEY_SYM_TAB: return vk::Tab;
        case BRLAPI_KEY_SYM_LINEFEED: return vk::Enter;
        case BRLAPI_KEY_SYM_ESCAPE: return vk::Esc;
        case BRLAPI_KEY_SYM_HOME: return vk::Home;
        case BRLAPI_KEY_SYM_LEFT: return vk::Esquerda;
        case BRLAPI_KEY_SYM_UP: return vk::Cima;
        case BRLAPI_KEY_SYM_RIGHT: return vk::Direita;
        case BRLAPI_KEY_SYM_DOWN: return vk::Baixo;
        case BRLAPI_KEY_SYM_PAGE_UP: return vk::PgUp;
        case BRLAPI_KEY_SYM_PAGE_DOWN: return vk::PgDn;
        case BRLAPI_KEY_SYM_END: return vk::End;
        case BRLAPI_KEY_SYM_INSERT: return vk::Ins;
        case BRLAPI_KEY_SYM_DELETE: return vk::Del;
        default: break;
    }
    if (simbolo >= BRLAPI_KEY_SYM_FUNCTION && simbolo < BRLAPI_KEY_SYM_FUNCTION + 12)
        return vk::F(static_cast<int>(simbolo - BRLAPI_KEY_SYM_FUNCTION) + 1);
    return std::nullopt;
}

// A key code of the daemon as the editor's command; nothing for keys it has no use for.
std::optional<ComandoBraille> decodifica(brlapi_keyCode_t k) {
    using T = ComandoBraille::Tipo;
    const uint64_t flags = k & BRLAPI_KEY_FLAGS_MASK;
    Modificadores mod;
    mod.shift = (flags & BRLAPI_KEY_FLG_SHIFT) != 0;
    mod.ctrl = (flags & BRLAPI_KEY_FLG_CONTROL) != 0;
    mod.alt = (flags & BRLAPI_KEY_FLG_META) != 0;
    if ((k & BRLAPI_KEY_TYPE_MASK) == BRLAPI_KEY_TYPE_CMD) {
        const uint64_t bloco = k & BRLAPI_KEY_CMD_BLK_MASK;
        const int argumento = static_cast<int>(k & BRLAPI_KEY_CMD_ARG_MASK);
        if (bloco == BRLAPI_KEY_CMD_ROUTE) return ComandoBraille{T::Rota, argumento, {}};
        if (bloco == BRLAPI_KEY_CMD_PASSDOTS) return ComandoBraille{T::Pontos, argumento, {}};
        if (bloco != 0) return std::nullopt;
        switch (k & BRLAPI_KEY_CODE_MASK) {
            case BRLAPI_KEY_CMD_LNUP: return ComandoBraille{T::LinhaAcima, 0, {}};
            case BRLAPI_KEY_CMD_LNDN: return ComandoBraille{T::LinhaAbaixo, 0, {}};
            case BRLAPI_KEY_CMD_FWINLT:
            case BRLAPI_KEY_CMD_FWINLTSKIP: return ComandoBraille{T::PanEsquerda, 0, {}};
            case BRLAPI_KEY_CMD_FWINRT:
            case BRLAPI_KEY_CMD_FWINRTSKIP: return ComandoBraille{T::PanDireita, 0, {}};
            default: return std::nullopt;
        }
    }
    const uint64_t simbolo = k & BRLAPI_KEY_CODE_MASK;
    if (auto tecla = teclaDoSimbolo(simbolo)) return ComandoBraille{T::Tecla, *tecla, mod};
    char32_t u;
    if (simbolo & BRLAPI_KEY_SYM_UNICODE)
        u = static_cast<char32_t>(simbolo & (BRLAPI_KEY_SYM_UNICODE - 1));
    else if (simbolo < 0x100)
        u = static_cast<char32_t>(simbolo);  // Latin-1
    else
        return std::nullopt;
    const uint8_t c = unicodeParaWin1252(u);
    if (c == '?' && u != U'?') return std::nullopt;  // nothing the editor's texts can hold
    return ComandoBraille{T::Caractere, c, mod};
}

}  // namespace

// Shared by the caller and the worker thread; the worker keeps it alive when the caller
// has to leave it behind (a daemon that stopped answering in the middle of a call).
struct LigacaoBraille::Estado {
    LigacaoBraille::Opcoes opcoes;

    std::mutex trava;
    std::condition_variable aviso;
    bool parar = false;
    std::string texto;  // what to show, and whether it changed since it was sent
    int cursor = 0;
    bool mudou = false;
    std::vector<ComandoBraille> recebidos;

    std::atomic<int> celulas{0};
    std::atomic<int> conexoes{0};
    std::atomic<int> descritor{-1};
    std::atomic<int64_t> inicioChamada{0};  // when the pending call started; 0: none

    // The library's handle, behind a pointer back to this state (its exception handler
    // gets only the handle).
    std::vector<unsigned char> memoria;
    bool excecao = false;

    brlapi_handle_t* handle() {
        return reinterpret_cast<brlapi_handle_t*>(memoria.data() + kCabecalho);
    }
    static constexpr size_t kCabecalho = 16;

    void trabalha();
    bool conecta();
    void desconecta();
    bool envia();
    bool leTeclas();

    // A call to the daemon, timed so the caller's side can break it when it hangs.
    template <class F>
    auto chama(F f) {
        inicioChamada = agoraMs();
        auto r = f();
        inicioChamada = 0;
        return r;
    }
};

namespace {

void BRLAPI_STDCALL trataExcecao(brlapi_handle_t* h, int, brlapi_packetType_t, const void*, size_t) {
    // An error the daemon reported: the connection is dropped and made again, rather than
    // the library's default of ending the program.
    auto* base = reinterpret_cast<unsigned char*>(h) - LigacaoBraille::Estado::kCabecalho;
    LigacaoBraille::Estado* estado;
    std::memcpy(&estado, base, sizeof estado);
    estado->excecao = true;
}

}  // namespace

bool LigacaoBraille::Estado::conecta() {
    memoria.assign(kCabecalho + brlapi_getHandleSize(), 0);
    Estado* eu = this;
    std::memcpy(memoria.data(), &eu, sizeof eu);
    excecao = false;
    brlapi_connectionSettings_t pedido{};
    pedido.auth = opcoes.autenticacao.empty() ? nullptr : opcoes.autenticacao.c_str();
    pedido.host = opcoes.servidor.empty() ? nullptr : opcoes.servidor.c_str();
    const int fd = chama([&] { return brlapi__openConnection(handle(), &pedido, nullptr); });
    if (fd < 0) return false;
    descritor = fd;
    brlapi__setExceptionHandler(handle(), trataExcecao);
    unsigned int x = 0, y = 0;
    if (chama([&] { return brlapi__getDisplaySize(handle(), &x, &y); }) < 0 || x == 0) {
        desconecta();
        return false;
    }
    // Dots typed on the display's keyboard come as dots, so they are read as the window's
    // six-key typing is.
    brlapi_param_retainDots_t pontos = 1;
    chama([&] {
        return brlapi__setParameter(handle(), BRLAPI_PARAM_RETAIN_DOTS, 0, BRLAPI_PARAMF_LOCAL,
                                    &pontos, sizeof pontos);
    });
    // The terminal the editor runs in; where none can be told (a graphical session), the
    // display as a whole.
    int r = chama([&] { return brlapi__enterTtyMode(handle(), BRLAPI_TTY_DEFAULT, ""); });
    if (r < 0) r = chama([&] { return brlapi__enterTtyModeWithPath(handle(), nullptr, 0, ""); });
    if (r < 0 || excecao) {
        desconecta();
        return false;
    }
    celulas = static_cast<int>(x);
    ++conexoes;
    std::lock_guard l(trava);
    mudou = true;  // a display taken again is written again
    return true;
}

void LigacaoBraille::Estado::desconecta() {
    if (descritor < 0) return;
    celulas = 0;
    descritor = -1;
    brlapi__closeConnection(handle());
}

bool LigacaoBraille::Estado::envia() {
    std::string celulasTexto;
    int cursorAgora;
    {
        std::lock_guard l(trava);
        if (!mudou) return true;
        mudou = false;
        celulasTexto = texto;
        cursorAgora = cursor;
    }
    const int n = celulas;
    celulasTexto.resize(static_cast<size_t>(n), ' ');
    std::string utf8;
    for (char c : celulasTexto) acrescentaUtf8(utf8, win1252ParaUnicode(static_cast<uint8_t>(c)));
    brlapi_writeArguments_t args = BRLAPI_WRITEARGUMENTS_INITIALIZER;
    args.regionBegin = 1;
    args.regionSize = n;
    args.text = utf8.c_str();
    args.textSize = static_cast<int>(utf8.size());
    args.charset = const_cast<char*>("UTF-8");
    args.cursor = (cursorAgora >= 1 && cursorAgora <= n) ? cursorAgora : BRLAPI_CURSOR_OFF;
    return chama([&] { return brlapi__write(handle(), &args); }) >= 0 && !excecao;
}

bool LigacaoBraille::Estado::leTeclas() {
    brlapi_keyCode_t k;
    // Short, so a new text goes out soon after it is left.
    int r = brlapi__readKeyWithTimeout(handle(), 40, &k);
    while (r > 0) {
        if (auto c = decodifica(k)) {
            std::lock_guard l(trava);
            recebidos.push_back(*c);
        }
        r = brlapi__readKeyWithTimeout(handle(), 0, &k);
    }
    return r == 0 && !excecao;
}

void LigacaoBraille::Estado::trabalha() {
    // A daemon gone away makes a write fail with EPIPE here instead of ending the program.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
    for (;;) {
        {
            std::lock_guard l(trava);
            if (parar) break;
        }
        if (descritor < 0 && !conecta()) {
            std::unique_lock l(trava);
            aviso.wait_for(l, std::chrono::milliseconds(opcoes.novaTentativaMs), [&] { return parar; });
            continue;
        }
        if (!envia() || !leTeclas()) desconecta();
    }
    desconecta();
}

LigacaoBraille::LigacaoBraille(std::shared_ptr<Estado> estado) : estado_(std::move(estado)) {}

std::unique_ptr<LigacaoBraille> LigacaoBraille::cria(const Opcoes& opcoes) {
    auto estado = std::make_shared<Estado>();
    estado->opcoes = opcoes;
    std::thread([estado] { estado->trabalha(); }).detach();
    return std::unique_ptr<LigacaoBraille>(new LigacaoBraille(std::move(estado)));
}

LigacaoBraille::~LigacaoBraille() {
    {
        std::lock_guard l(estado_->trava);
        estado_->parar = true;
    }
    estado_->aviso.notify_all();
    // A call that hangs is broken, so the worker sees the stop and closes the connection;
    // it keeps the shared state alive for as long as it still runs.
    if (const int fd = estado_->descritor; fd >= 0 && estado_->inicioChamada != 0)
        ::shutdown(fd, SHUT_RDWR);
}

int LigacaoBraille::celulas() const { return estado_->celulas; }

int LigacaoBraille::conexoes() const { return estado_->conexoes; }

void LigacaoBraille::mostra(std::string texto, int cursor) {
    std::lock_guard l(estado_->trava);
    if (texto == estado_->texto && cursor == estado_->cursor) return;
    estado_->texto = std::move(texto);
    estado_->cursor = cursor;
    estado_->mudou = true;
}

std::vector<ComandoBraille> LigacaoBraille::comandos() {
    const int64_t inicio = estado_->inicioChamada;
    if (inicio != 0 && agoraMs() - inicio > estado_->opcoes.limiteChamadaMs) {
        if (const int fd = estado_->descritor; fd >= 0) ::shutdown(fd, SHUT_RDWR);
    }
    std::lock_guard l(estado_->trava);
    std::vector<ComandoBraille> r;
    r.swap(estado_->recebidos);
    return r;
}

#else  // built without BrlAPI: no display is ever connected

struct LigacaoBraille::Estado {};

LigacaoBraille::LigacaoBraille(std::shared_ptr<Estado> estado) : estado_(std::move(estado)) {}
std::unique_ptr<LigacaoBraille> LigacaoBraille::cria(const Opcoes&) { return nullptr; }
LigacaoBraille::~LigacaoBraille() = default;
int LigacaoBraille::celulas() const { return 0; }
int LigacaoBraille::conexoes() const { return 0; }
void LigacaoBraille::mostra(std::string, int) {}
std::vector<ComandoBraille> LigacaoBraille::comandos() { return {}; }

#endif
