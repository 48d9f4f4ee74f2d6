// UTF-8, the programs' narrow encoding on Windows as on Linux, and the UTF-16 of the
// system's wide calls.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

inline std::wstring paraUtf16(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                      nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

inline std::string paraUtf8(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), s.data(), n,
                        nullptr, nullptr);
    return s;
}

// A wide environment variable in UTF-8; empty when unset.
inline std::string variavelAmbiente(const wchar_t* nome) {
    const DWORD n = GetEnvironmentVariableW(nome, nullptr, 0);
    if (n == 0) return {};
    std::wstring w(n, L'\0');
    const DWORD escrito = GetEnvironmentVariableW(nome, w.data(), n);
    w.resize(escrito);
    return paraUtf8(w);
}

// A path as the wide calls take it; one longer than MAX_PATH gets the \\?\ prefix, so
// deep folders open as any other.
inline std::wstring caminhoLargo(const std::filesystem::path& p) {
    std::wstring w = p.native();
    if (w.size() < MAX_PATH || w.rfind(L"\\\\", 0) == 0) return w;
    std::error_code ec;
    std::wstring absoluto = std::filesystem::absolute(p, ec).native();
    if (ec) return w;
    for (wchar_t& c : absoluto)
        if (c == L'/') c = L'\\';
    return L"\\\\?\\" + absoluto;
}
