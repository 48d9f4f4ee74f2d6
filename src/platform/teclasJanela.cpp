// The window's keys: SDL key and text events turned into the program's key events, with the
// Windows virtual key numbers the editor's commands are written for.
#include "platform/teclasJanela.h"

#include "platform/codigos.h"
#include "platform/teclado.h"

namespace janela {

namespace {

// Windows numbers of keys the shared header does not name.
namespace vkx {
constexpr uint16_t Clear = 0x0C, Pausa = 0x13, CapsLock = 0x14, PrintScreen = 0x2C,
                   WinEsquerda = 0x5B, WinDireita = 0x5C, Menu = 0x5D, Numpad0 = 0x60,
                   Multiplica = 0x6A, Soma = 0x6B, Subtrai = 0x6D, Decimal = 0x6E, Divide = 0x6F,
                   F13 = 0x7C, NumLock = 0x90, ScrollLock = 0x91, PontoVirgula = 0xBA, Igual = 0xBB,
                   Virgula = 0xBC, Menos = 0xBD, Ponto = 0xBE, Barra = 0xBF, Crase = 0xC0,
                   AbreColchete = 0xDB, FechaColchete = 0xDD, Aspas = 0xDE;
}

std::optional<uint16_t> teclaDoTecladoNumerico(SDL_Keycode tecla, bool numLock) {
    static constexpr std::array<uint16_t, 10> semNumLock = {
        vk::Ins,    vk::End,     vk::Baixo, vk::PgDn, vk::Esquerda,
        vkx::Clear, vk::Direita, vk::Home,  vk::Cima, vk::PgUp};
    int digito = -1;
    if (tecla == SDLK_KP_0) digito = 0;
    if (tecla >= SDLK_KP_1 && tecla <= SDLK_KP_9) digito = static_cast<int>(tecla - SDLK_KP_1) + 1;
    if (digito >= 0)
        return numLock ? static_cast<uint16_t>(vkx::Numpad0 + digito) : semNumLock[digito];
    switch (tecla) {
        case SDLK_KP_PERIOD:
            return numLock ? vkx::Decimal : vk::Del;
        case SDLK_KP_DIVIDE:
            return vkx::Divide;
        case SDLK_KP_MULTIPLY:
            return vkx::Multiplica;
        case SDLK_KP_MINUS:
            return vkx::Subtrai;
        case SDLK_KP_PLUS:
            return vkx::Soma;
        case SDLK_KP_ENTER:
            return vk::Enter;
        default:
            return std::nullopt;
    }
}

std::optional<uint16_t> teclaDePontuacao(SDL_Keycode tecla) {
    switch (tecla) {
        case SDLK_SEMICOLON:
            return vkx::PontoVirgula;
        case SDLK_EQUALS:
            return vkx::Igual;
        case SDLK_COMMA:
            return vkx::Virgula;
        case SDLK_MINUS:
            return vkx::Menos;
        case SDLK_PERIOD:
            return vkx::Ponto;
        case SDLK_SLASH:
            return vkx::Barra;
        case SDLK_BACKQUOTE:
            return vkx::Crase;
        case SDLK_LEFTBRACKET:
            return vkx::AbreColchete;
        case SDLK_BACKSLASH:
            return vk::BarraInvertida;
        case SDLK_RIGHTBRACKET:
            return vkx::FechaColchete;
        case SDLK_QUOTE:
            return vkx::Aspas;
        default:
            return std::nullopt;
    }
}

std::optional<uint16_t> teclaDeComando(SDL_Keycode tecla, Uint16 modSdl) {
    if (tecla >= SDLK_F1 && tecla <= SDLK_F12) return vk::F(static_cast<int>(tecla - SDLK_F1) + 1);
    if (tecla >= SDLK_F13 && tecla <= SDLK_F24)
        return static_cast<uint16_t>(vkx::F13 + (tecla - SDLK_F13));
    switch (tecla) {
        case SDLK_RETURN:
        case SDLK_RETURN2:
            return vk::Enter;
        case SDLK_TAB:
            return vk::Tab;
        case SDLK_ESCAPE:
            return vk::Esc;
        case SDLK_BACKSPACE:
            return vk::Backspace;
        case SDLK_SPACE:
            return vk::Espaco;
        case SDLK_UP:
            return vk::Cima;
        case SDLK_DOWN:
            return vk::Baixo;
        case SDLK_LEFT:
            return vk::Esquerda;
        case SDLK_RIGHT:
            return vk::Direita;
        case SDLK_HOME:
            return vk::Home;
        case SDLK_END:
            return vk::End;
        case SDLK_PAGEUP:
            return vk::PgUp;
        case SDLK_PAGEDOWN:
            return vk::PgDn;
        case SDLK_INSERT:
            return vk::Ins;
        case SDLK_DELETE:
            return vk::Del;
        // Ctrl+Pause is the Break key of the Windows keyboard.
        case SDLK_PAUSE:
            return (modSdl & KMOD_CTRL) ? vk::Break : vkx::Pausa;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return vk::Shift;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return vk::Ctrl;
        case SDLK_LALT:
        case SDLK_RALT:
            return vk::Alt;
        case SDLK_CAPSLOCK:
            return vkx::CapsLock;
        case SDLK_NUMLOCKCLEAR:
            return vkx::NumLock;
        case SDLK_SCROLLLOCK:
            return vkx::ScrollLock;
        case SDLK_PRINTSCREEN:
            return vkx::PrintScreen;
        case SDLK_APPLICATION:
            return vkx::Menu;
        case SDLK_LGUI:
            return vkx::WinEsquerda;
        case SDLK_RGUI:
            return vkx::WinDireita;
        default:
            return std::nullopt;
    }
}

// Keys whose character message comes with the key-down rather than from text input.
bool caractereNaDescida(uint16_t tecla, const Modificadores& mod) {
    if (mod.ctrl) return true;
    return tecla == vk::Enter || tecla == vk::Tab || tecla == vk::Esc || tecla == vk::Backspace;
}

}  // namespace

std::optional<uint16_t> teclaVirtual(SDL_Keycode tecla, Uint16 modSdl) {
    if (tecla >= SDLK_a && tecla <= SDLK_z) return static_cast<uint16_t>('A' + (tecla - SDLK_a));
    if (tecla >= SDLK_0 && tecla <= SDLK_9) return static_cast<uint16_t>(tecla);
    if (auto t = teclaDoTecladoNumerico(tecla, (modSdl & KMOD_NUM) != 0)) return t;
    if (auto t = teclaDePontuacao(tecla)) return t;
    if (auto t = teclaDeComando(tecla, modSdl)) return t;
    // Any other key that types a character of its own layout (ç, ´, º...).
    if (tecla > 0 && (tecla & SDLK_SCANCODE_MASK) == 0) return vk::Outra;
    return std::nullopt;
}

Modificadores modificadores(Uint16 modSdl) {
    Modificadores m;
    m.shift = (modSdl & KMOD_SHIFT) != 0;
    m.ctrl = (modSdl & KMOD_CTRL) != 0;
    m.alt = (modSdl & KMOD_LALT) != 0;
    return m;
}

std::vector<EventoEntrada> TradutorTeclado::tecla(const SDL_KeyboardEvent& e) {
    using T = EventoEntrada::Tipo;
    ultimoMod_ = e.keysym.mod;
    auto vkTecla = teclaVirtual(e.keysym.sym, e.keysym.mod);
    if (!vkTecla) return {};
    Modificadores mod = modificadores(e.keysym.mod);
    if (e.type == SDL_KEYUP) return {{T::TeclaSobe, *vkTecla, 0, mod}};
    ultimaTecla_ = *vkTecla;
    std::vector<EventoEntrada> ev{{T::TeclaDesce, *vkTecla, 0, mod}};
    if (caractereNaDescida(*vkTecla, mod))
        if (auto c = caractereDeControle(*vkTecla, mod))
            ev.push_back({T::Caractere, *vkTecla, *c, mod});
    return ev;
}

std::vector<EventoEntrada> TradutorTeclado::texto(std::string_view utf8) const {
    // With Ctrl or the left Alt held the key is a command; its text is not typed.
    if (ultimoMod_ & (KMOD_CTRL | KMOD_LALT)) return {};
    Modificadores mod = modificadores(ultimoMod_);
    std::vector<EventoEntrada> ev;
    for (size_t pos = 0; pos < utf8.size();) {
        bool valido = true;
        const char32_t u = proximoUtf8(utf8, pos, &valido);
        // A character Windows-1252 lacks goes as its code point; the editor decides.
        if (valido && !temWin1252(u)) {
            EventoEntrada e;
            e.tipo = EventoEntrada::Tipo::Unicode;
            e.unicode = u;
            ev.push_back(e);
            continue;
        }
        const uint8_t c = valido ? unicodeParaWin1252(u) : static_cast<uint8_t>(u);
        ev.push_back({EventoEntrada::Tipo::Caractere, ultimaTecla_, c, mod});
    }
    return ev;
}

}  // namespace janela
