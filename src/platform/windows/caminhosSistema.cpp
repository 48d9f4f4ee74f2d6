#include <windows.h>

#include <system_error>

#include "platform/caminhos.h"
#include "platform/windows/utf16.h"

namespace fs = std::filesystem;

namespace {

bool existe(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

// A folder of the user's profile (%APPDATA%, %LOCALAPPDATA%) with sonare in it.
fs::path pastaDoUsuario(const wchar_t* variavel) {
    const std::string v = variavelAmbiente(variavel);
    return v.empty() ? fs::path("sonare") : fs::path(paraUtf16(v)) / "sonare";
}

}  // namespace

fs::path pastaPessoal() {
    if (std::string h = variavelAmbiente(L"USERPROFILE"); !h.empty()) return paraUtf16(h);
    return pastaDoUsuario(L"LOCALAPPDATA").parent_path();
}

// The XDG variable when it names an absolute folder; else the user's local application
// data, where Windows programs keep what the XDG folders hold.
fs::path pastaXdg(const char* variavelXdg, const fs::path&) {
    const std::wstring nome(variavelXdg, variavelXdg + std::char_traits<char>::length(variavelXdg));
    if (std::string x = variavelAmbiente(nome.c_str()); !x.empty()) {
        const fs::path p(paraUtf16(x));
        if (p.is_absolute()) return p;
    }
    if (std::string l = variavelAmbiente(L"LOCALAPPDATA"); !l.empty()) return paraUtf16(l);
    return pastaPessoal();
}

// SONARE.INI lives in the user's roaming profile: a program may no longer write the
// Windows directory.
fs::path diretorioWindows() {
    if (std::string w = variavelAmbiente(L"SONARE_WINDIR"); !w.empty()) return paraUtf16(w);
    return pastaDoUsuario(L"APPDATA");
}

// XDG_STATE_HOME, which Windows never sets, stands when it is set (a test run, a copy
// carried on a stick), as SONARE_WINDIR does for SONARE.INI.
fs::path diretorioEstado() {
    if (std::string x = variavelAmbiente(L"XDG_STATE_HOME"); !x.empty())
        return fs::path(paraUtf16(x)) / "sonare";
    return pastaDoUsuario(L"LOCALAPPDATA");
}

// Windows users are told whole paths: there is no home folder they would call "~".
fs::path caminhoAbreviado(const fs::path& caminho) { return caminho; }

// SONARE_ROOT; else the program's own folder when the family's files are there (a
// portable copy, or the build tree); else the installed family under Program Files.
fs::path raizFamilia() {
    if (std::string r = variavelAmbiente(L"SONARE_ROOT"); !r.empty()) return paraUtf16(r);
    const fs::path proprio = pastaDoPrograma();
    if (!proprio.empty() && existe(proprio / "SONARE.INI")) return proprio;
    if (std::string p = variavelAmbiente(L"ProgramFiles"); !p.empty()) {
        const fs::path instalada = fs::path(paraUtf16(p)) / "sonare";
        if (existe(instalada)) return instalada;
    }
    return proprio;
}

fs::path pastaDoPrograma() {
    std::wstring nome(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, nome.data(), static_cast<DWORD>(nome.size()));
        if (n == 0) return {};
        if (n < nome.size()) {
            nome.resize(n);
            return fs::path(nome).parent_path();
        }
        nome.resize(nome.size() * 2);
    }
}

// Its installer leaves PATH alone: it is looked for under both Program Files.
fs::path libreOfficeInstalado() {
    for (const wchar_t* v : {L"ProgramFiles", L"ProgramW6432", L"ProgramFiles(x86)"}) {
        const std::string pasta = variavelAmbiente(v);
        if (pasta.empty()) continue;
        const fs::path soffice = fs::path(paraUtf16(pasta)) / "LibreOffice" / "program" / "soffice.exe";
        if (existe(soffice)) return soffice;
    }
    return {};
}
