#include "platform/windows/areaTransferencia.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

#include "platform/codigos.h"
#include "utf16.h"

namespace {

// The clipboard opened for this program, closed when it goes out of scope. Another program
// may hold it for a moment: a few tries, a few milliseconds apart.
class Aberta {
  public:
    Aberta() {
        for (int i = 0; i < 10 && !(aberta_ = OpenClipboard(nullptr) != 0); ++i) Sleep(5);
    }
    ~Aberta() {
        if (aberta_) CloseClipboard();
    }
    Aberta(const Aberta&) = delete;
    Aberta& operator=(const Aberta&) = delete;
    explicit operator bool() const { return aberta_; }

  private:
    bool aberta_ = false;
};

}  // namespace

bool copiaAreaSistema(std::string_view texto) {
    const std::wstring w = paraUtf16(win1252ParaUtf8(texto));
    const size_t bytes = (w.size() + 1) * sizeof(wchar_t);
    HGLOBAL memoria = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memoria) return false;
    if (void* p = GlobalLock(memoria)) {
        std::memcpy(p, w.c_str(), bytes);
        GlobalUnlock(memoria);
    }
    Aberta area;
    // Once given to the clipboard, the memory is the system's.
    if (!area || !EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, memoria)) {
        GlobalFree(memoria);
        return false;
    }
    return true;
}

std::optional<std::string> leAreaSistema() {
    Aberta area;
    if (!area) return std::nullopt;
    HANDLE dados = GetClipboardData(CF_UNICODETEXT);
    if (!dados) return std::nullopt;
    const auto* w = static_cast<const wchar_t*>(GlobalLock(dados));
    if (!w) return std::nullopt;
    // Never past the block, whatever another program left in it.
    const size_t maximo = GlobalSize(dados) / sizeof(wchar_t);
    const std::wstring texto(w, wcsnlen(w, maximo));
    GlobalUnlock(dados);
    return utf8ParaWin1252(paraUtf8(texto));
}
