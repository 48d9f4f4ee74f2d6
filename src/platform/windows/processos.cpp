#include "platform/processos.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "platform/caminhos.h"
#include "platform/windows/utf16.h"

namespace fs = std::filesystem;

namespace {

// One argument as the C runtime reads it back: quotes around it when it has a blank, a
// tab or a quote (or is empty); a quote inside gets a backslash, and so do the
// backslashes right before a quote, the closing one included.
std::wstring citaArgumento(const std::wstring& a) {
    if (!a.empty() && a.find_first_of(L" \t\n\v\"") == std::wstring::npos) return a;
    std::wstring r = L"\"";
    for (auto it = a.begin();; ++it) {
        size_t barras = 0;
        while (it != a.end() && *it == L'\\') {
            ++it;
            ++barras;
        }
        if (it == a.end()) {
            r.append(barras * 2, L'\\');
            break;
        }
        if (*it == L'"') {
            r.append(barras * 2 + 1, L'\\');
        } else {
            r.append(barras, L'\\');
        }
        r.push_back(*it);
    }
    r.push_back(L'"');
    return r;
}

// A bare program name (no folder) is looked up in the system's own folders only: never
// in the current folder or PATH, so a word of a text cannot start a program there.
fs::path programaDoSistema(const std::string& nome) {
    const fs::path p = fs::path(nome);
    if (p.has_parent_path()) return p;
    wchar_t pasta[MAX_PATH];
    for (UINT n : {GetSystemDirectoryW(pasta, MAX_PATH), 0u}) {
        if (n == 0) n = GetWindowsDirectoryW(pasta, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) continue;
        const fs::path candidato = fs::path(std::wstring(pasta, n)) / p;
        std::error_code ec;
        if (fs::is_regular_file(candidato, ec)) return candidato;
    }
    return p;
}

// A handle the child inherits; INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE abreHerdado(const fs::path& caminho, DWORD acesso, DWORD criacao) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return CreateFileW(caminhoLargo(caminho).c_str(), acesso,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa, criacao,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The exit code of a program the editor ended: above any code a program gives itself, so
// it is never taken for one (as a signal is not on Linux).
constexpr UINT kCodigoEncerrado = 0x4009;

void fecha(HANDLE& h) {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    h = nullptr;
}

// Starts the program suspended, in a job of its own that ends with its last handle (ours),
// so its children end with it; no console of the editor's, no window.
struct Iniciado {
    HANDLE processo = nullptr;
    HANDLE trabalho = nullptr;
    DWORD erro = 0;
};
Iniciado criaProcesso(const std::vector<std::string>& argumentos, const fs::path& diretorio,
                      HANDLE entrada, HANDLE saida, HANDLE erros) {
    Iniciado r;
    const fs::path programa = programaDoSistema(argumentos[0]);
    std::vector<std::string> vetor = argumentos;
    vetor[0] = programa.string();
    std::wstring linha = linhaDeComando(vetor);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = entrada;
    si.hStdOutput = saida;
    si.hStdError = erros;
    PROCESS_INFORMATION pi{};
    const std::wstring pasta = diretorio.empty() ? std::wstring() : caminhoLargo(diretorio);
    if (!CreateProcessW(caminhoLargo(programa).c_str(), linha.data(), nullptr, nullptr, TRUE,
                        CREATE_SUSPENDED | CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT,
                        nullptr, pasta.empty() ? nullptr : pasta.c_str(), &si, &pi)) {
        r.erro = GetLastError();
        return r;
    }
    r.trabalho = CreateJobObjectW(nullptr, nullptr);
    if (r.trabalho) {
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limite{};
        limite.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (!SetInformationJobObject(r.trabalho, JobObjectExtendedLimitInformation, &limite,
                                     sizeof limite) ||
            !AssignProcessToJobObject(r.trabalho, pi.hProcess))
            fecha(r.trabalho);  // the program runs all the same, only without the job
    }
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    r.processo = pi.hProcess;
    return r;
}

// The jobs of the children still running, process-wide as the children are, so that an
// ending at once reaches them all without any object of the program.
constexpr size_t kMaisTrabalhos = 64;
std::atomic<void*> gTrabalhos[kMaisTrabalhos];

void registraTrabalho(HANDLE trabalho) {
    if (!trabalho) return;
    for (auto& t : gTrabalhos) {
        void* livre = nullptr;
        if (t.compare_exchange_strong(livre, trabalho)) return;
    }
}

void esqueceTrabalho(HANDLE trabalho) {
    if (!trabalho) return;
    for (auto& t : gTrabalhos) {
        void* este = trabalho;
        if (t.compare_exchange_strong(este, nullptr)) return;
    }
}

int erroPosix(DWORD e) {
    switch (e) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME: return ENOENT;
        case ERROR_ACCESS_DENIED: return EACCES;
        case ERROR_BAD_EXE_FORMAT: return ENOEXEC;
        default: return EINVAL;
    }
}

}  // namespace

std::wstring linhaDeComando(const std::vector<std::string>& argumentos) {
    std::wstring linha;
    for (size_t i = 0; i < argumentos.size(); ++i) {
        if (i > 0) linha += L' ';
        // The program's name is read up to the next quote, with no backslash escapes.
        linha += i == 0 ? L"\"" + paraUtf16(argumentos[0]) + L"\"" : citaArgumento(paraUtf16(argumentos[i]));
    }
    return linha;
}

Processos::~Processos() {
    recolhe();
    for (Filho& f : filhos_) {
        fecha(reinterpret_cast<HANDLE&>(f.processo));
        esqueceTrabalho(f.trabalho);
        fecha(reinterpret_cast<HANDLE&>(f.trabalho));  // ends what still runs
    }
}

int Processos::inicia(const std::vector<std::string>& argumentos, const fs::path& diretorio) {
    return lanca(argumentos, diretorio, std::nullopt);
}

int Processos::iniciaConversor(const std::vector<std::string>& argumentos, const fs::path& saida) {
    return lanca(argumentos, {}, saida.empty() ? fs::path("NUL") : saida);
}

void Processos::recolhe() {
    std::erase_if(filhos_, [this](Filho& f) {
        if (WaitForSingleObject(f.processo, 0) != WAIT_OBJECT_0) return false;
        if (f.processo == ultimo_) {
            DWORD codigo = 0;
            estadoUltimo_ = GetExitCodeProcess(f.processo, &codigo) && codigo <= 255
                                ? static_cast<int>(codigo)
                                : 256;  // ended by force, or a crash
        }
        fecha(reinterpret_cast<HANDLE&>(f.processo));
        esqueceTrabalho(f.trabalho);
        fecha(reinterpret_cast<HANDLE&>(f.trabalho));
        return true;
    });
}

// The child's input is NUL and what it says goes to plumar.log (a converter's output to
// `saida`): it never shares the editor's console.
int Processos::lanca(const std::vector<std::string>& argumentos, const fs::path& diretorio,
                     const std::optional<fs::path>& saida) {
    recolhe();
    if (argumentos.empty() || argumentos[0].empty()) return ENOENT;
    std::error_code ec;
    fs::create_directories(diretorioWindows(), ec);
    HANDLE entrada = abreHerdado("NUL", GENERIC_READ, OPEN_EXISTING);
    HANDLE registro = abreHerdado(diretorioWindows() / "plumar.log", FILE_APPEND_DATA, OPEN_ALWAYS);
    if (registro == INVALID_HANDLE_VALUE) registro = abreHerdado("NUL", GENERIC_WRITE, OPEN_EXISTING);
    // A converter's output is a new file of a private folder (or NUL), never one planted there.
    const bool nulo = saida && *saida == "NUL";
    HANDLE destino = saida ? abreHerdado(*saida, GENERIC_WRITE, nulo ? OPEN_EXISTING : CREATE_NEW)
                           : registro;
    const Iniciado r = criaProcesso(argumentos, diretorio, entrada, destino, registro);
    if (saida) fecha(destino);
    fecha(entrada);
    fecha(registro);
    if (!r.processo) return erroPosix(r.erro);
    registraTrabalho(r.trabalho);
    filhos_.push_back({r.processo, r.trabalho});
    ultimo_ = r.processo;
    estadoUltimo_ = -1;
    return 0;
}

void Processos::encerra() {
    if (!rodando()) return;
    for (Filho& f : filhos_)
        if (f.processo == ultimo_) {
            if (!f.trabalho || !TerminateJobObject(f.trabalho, kCodigoEncerrado))
                TerminateProcess(f.processo, kCodigoEncerrado);
        }
    esperaFim(std::chrono::milliseconds(2000));
}

std::optional<int> Processos::codigoSaida() {
    if (rodando() || !ultimo_ || estadoUltimo_ < 0 || estadoUltimo_ > 255) return std::nullopt;
    return estadoUltimo_;
}

bool Processos::rodando() {
    recolhe();
    return ultimo_ && std::any_of(filhos_.begin(), filhos_.end(),
                                  [this](const Filho& f) { return f.processo == ultimo_; });
}

void encerraFilhosJa() {
    for (auto& t : gTrabalhos)
        if (void* trabalho = t.exchange(nullptr)) TerminateJobObject(trabalho, kCodigoEncerrado);
}

// Only the folders of PATH given as absolute paths; a name without an extension is
// looked for as NAME.exe.
fs::path achaNoPath(std::string_view nome) {
    if (nome.empty() || nome.find_first_of("/\\:") != std::string_view::npos) return {};
    std::string arquivo(nome);
    if (!fs::path(arquivo).has_extension()) arquivo += ".exe";
    const std::string pastas = variavelAmbiente(L"PATH");
    for (size_t inicio = 0; inicio <= pastas.size();) {
        const size_t fim = std::min(pastas.find(';', inicio), pastas.size());
        const fs::path pasta(paraUtf16(std::string_view(pastas).substr(inicio, fim - inicio)));
        inicio = fim + 1;
        if (!pasta.is_absolute()) continue;
        const fs::path candidato = pasta / paraUtf16(arquivo);
        if (ehExecutavel(candidato)) return candidato;
    }
    return {};
}

// A program Windows starts by itself: a regular file named .exe or .com.
bool ehExecutavel(const fs::path& arquivo) {
    std::error_code ec;
    if (!fs::is_regular_file(arquivo, ec)) return false;
    std::wstring ext = arquivo.extension().native();
    for (wchar_t& c : ext) c = static_cast<wchar_t>(towlower(c));
    return ext == L".exe" || ext == L".com";
}

std::optional<std::string> saidaDePrograma(const std::vector<std::string>& argumentos,
                                           std::chrono::milliseconds prazo, size_t limite) {
    if (argumentos.empty()) return std::nullopt;
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE leitura = nullptr, escrita = nullptr;
    if (!CreatePipe(&leitura, &escrita, &sa, 0)) return std::nullopt;
    SetHandleInformation(leitura, HANDLE_FLAG_INHERIT, 0);
    HANDLE nulo = abreHerdado("NUL", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    Iniciado r = criaProcesso(argumentos, {}, nulo, escrita, nulo);
    fecha(escrita);
    fecha(nulo);
    if (!r.processo) {
        fecha(leitura);
        return std::nullopt;
    }
    const auto fim = std::chrono::steady_clock::now() + prazo;
    std::string saida;
    bool completa = false;
    while (std::chrono::steady_clock::now() < fim) {
        DWORD disponivel = 0;
        if (!PeekNamedPipe(leitura, nullptr, 0, nullptr, &disponivel, nullptr)) {
            completa = true;  // the program closed its output
            break;
        }
        if (disponivel == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            continue;
        }
        char buf[65536];
        DWORD n = 0;
        if (!ReadFile(leitura, buf, std::min<DWORD>(disponivel, sizeof buf), &n, nullptr)) {
            completa = true;
            break;
        }
        saida.append(buf, std::min(static_cast<size_t>(n), limite - std::min(limite, saida.size())));
    }
    fecha(leitura);
    const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(
        fim - std::chrono::steady_clock::now());
    DWORD codigo = 1;
    const bool terminou =
        completa && WaitForSingleObject(r.processo, static_cast<DWORD>(std::max<long long>(
                                                         0, resta.count()))) == WAIT_OBJECT_0;
    if (!terminou) TerminateProcess(r.processo, kCodigoEncerrado);
    if (terminou) GetExitCodeProcess(r.processo, &codigo);
    fecha(r.processo);
    fecha(r.trabalho);
    if (!terminou || codigo != 0) return std::nullopt;
    return saida;
}
