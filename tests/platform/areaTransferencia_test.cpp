#ifdef _WIN32
#include "platform/windows/areaTransferencia.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

namespace {

// A text goes out as Unicode (other programs read its accents and the euro) and comes back
// the same bytes; a character Windows-1252 lacks, put there by another program, comes back
// as '?'; an empty clipboard gives nothing.
TEST(AreaTransferencia, TheProgramsTextGoesOutAsUnicodeAndComesBackTheSame) {
    const std::string texto = "Ol\xE1, a\xE7\xE3o \x80 5\r\nfim";
    ASSERT_TRUE(copiaAreaSistema(texto));
    EXPECT_EQ(leAreaSistema(), texto);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE dados = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(dados, nullptr);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(GlobalLock(dados))),
              L"Ol\u00E1, a\u00E7\u00E3o \u20AC 5\r\nfim");
    GlobalUnlock(dados);

    const wchar_t outro[] = L"\u0141\u00F3d\u017A";  // a city's name, in letters 1252 lacks
    HGLOBAL m = GlobalAlloc(GMEM_MOVEABLE, sizeof outro);
    std::memcpy(GlobalLock(m), outro, sizeof outro);
    GlobalUnlock(m);
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, m);
    CloseClipboard();
    EXPECT_EQ(leAreaSistema(), "?\xF3" "d?");

    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(leAreaSistema(), std::nullopt);
}

}  // namespace
#endif
