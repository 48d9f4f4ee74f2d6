#include "editor/formulario.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "platform/ini.h"
#include "platform/texto.h"

namespace {

constexpr int kUltimaColunaValor = 79;
constexpr int kFundoRotulo = 4;
// The field being edited, label and value: black on yellow, seen from afar.
constexpr int kFundoAtivo = 14, kLetraAtivo = 0;
constexpr size_t kMaximoTexto = 255;

// `texto` in exactly `largura` cells; control characters would move the cursor, so they
// are shown as blanks.
std::string ajustado(std::string_view texto, int largura) {
    std::string s(texto.substr(0, static_cast<size_t>(largura)));
    for (char& c : s)
        if (static_cast<uint8_t>(c) < 32) c = ' ';
    s.resize(static_cast<size_t>(largura), ' ');
    return s;
}

}  // namespace

ValoresValidos ValoresValidos::letras(std::string_view letras, std::string descricao) {
    return {[l = maiusculasAscii(letras)](std::string_view t) {
                const std::string m = maiusculasAscii(t);
                return m.size() == 1 && l.find(m[0]) != std::string::npos;
            },
            std::move(descricao)};
}

ValoresValidos ValoresValidos::numeros(std::vector<std::pair<long, long>> faixas,
                                       std::string descricao) {
    return {[faixas = std::move(faixas)](std::string_view t) {
                const std::optional<long> n = inteiroIni(t);
                return n && std::any_of(faixas.begin(), faixas.end(), [&](const auto& f) {
                           return *n >= f.first && *n <= f.second;
                       });
            },
            std::move(descricao)};
}

Formulario::Formulario(Editor& e, int larguraRotulo)
    : e_(e),
      linhaInicial_(std::clamp(e.crt.WhereY(), 1, SnCrt::kLinhas)),
      larguraRotulo_(std::clamp(larguraRotulo, 1, kUltimaColunaValor - 1)) {}

void Formulario::campoTexto(std::string_view chave, std::string_view rotulo,
                            std::string& variavel, int largura, ValoresValidos validos) {
    itens_.push_back({std::string(chave), std::string(rotulo), variavel.substr(0, kMaximoTexto),
                      largura, &variavel, nullptr, std::move(validos)});
}

void Formulario::campoInteiro(std::string_view chave, std::string_view rotulo, int& variavel,
                              ValoresValidos validos, int largura) {
    itens_.push_back({std::string(chave), std::string(rotulo), std::to_string(variavel),
                      largura, nullptr, &variavel, std::move(validos)});
}

int Formulario::visiveis() const { return SnCrt::kLinhas - linhaInicial_ + 1; }

int Formulario::linhaDe(int indice) const { return linhaInicial_ + indice - primeiro_; }

Campo Formulario::campoDe(int indice) const {
    Campo c;
    c.coluna = larguraRotulo_ + 1;
    c.linha = linhaDe(indice);
    c.largura = std::clamp(itens_[static_cast<size_t>(indice)].largura, 1,
                           kUltimaColunaValor - c.coluna + 1);
    c.maximo = kMaximoTexto;
    return c;
}

// The active field is drawn highlighted whole and leaves its colours set, so the line
// editor writes the value in them too.
void Formulario::desenhaItem(int indice, bool ativo) {
    const Item& item = itens_[static_cast<size_t>(indice)];
    const Campo c = campoDe(indice);
    e_.crt.GotoXY(1, c.linha);
    e_.crt.TextColor(ativo ? kLetraAtivo : 15);
    e_.crt.TextBackground(ativo ? kFundoAtivo : kFundoRotulo);
    e_.crt.escreve(ajustado(item.rotulo, larguraRotulo_));
    e_.crt.TextBackground(ativo ? kFundoAtivo : 0);
    e_.crt.escreve(ajustado(item.texto, c.largura));
}

void Formulario::mostraVisiveis() {
    const int fim = std::min(static_cast<int>(itens_.size()), primeiro_ + visiveis());
    for (int i = primeiro_; i < fim; ++i) desenhaItem(i);
}

// Scrolls the form, when it is taller than the screen, so that field `indice` shows.
void Formulario::rolaAte(int indice) {
    const int antes = primeiro_;
    if (indice < primeiro_) primeiro_ = indice;
    if (indice >= primeiro_ + visiveis()) primeiro_ = indice - visiveis() + 1;
    if (primeiro_ != antes) mostraVisiveis();
}

void Formulario::anuncia(const Item& item) {
    if (e_.fala.existeSom(item.chave))
        e_.fala.tocaSom(item.chave);
    else
        e_.fala.falaTexto(item.rotulo);
    const std::string_view valor = apara(item.texto);
    if (!valor.empty()) e_.fala.falaTexto(valor);
}

// Where the key that ended a field leads: a field index, -1 before the first, the count
// after the last. Keys that do not move stay on the field (from past an end, on the
// nearest field).
int Formulario::destino(int atual, const FimCampo& fim, bool& termina) const {
    const int n = static_cast<int>(itens_.size());
    int novo = std::clamp(atual, 0, n - 1);
    if (!fim.estendida) {
        if (fim.tecla == 9 || fim.tecla == 13) novo = atual + 1;
        termina = fim.tecla == 27;
    } else {
        switch (fim.tecla) {
            case 80: novo = atual + 1; break;
            case 72: novo = atual - 1; break;
            case 81: novo = atual + 10; break;
            case 73: novo = atual - 10; break;
            case 118: novo = n - 1; break;
            case 132: novo = 0; break;
            default: break;
        }
    }
    return std::clamp(novo, -1, n);
}

// Past either end: the cursor on the form's top or bottom row, one beep, and the next key.
FimCampo Formulario::esperaNaPonta(int atual) {
    const bool antes = atual < 0;
    const int ponta = antes ? 0 : static_cast<int>(itens_.size()) - 1;
    rolaAte(ponta);
    e_.crt.GotoXY(larguraRotulo_ + 1, linhaDe(ponta));
    e_.fala.bip();
    uint8_t c;
    do c = e_.crt.leTecla();
    while (c == 222 || c == 223);  // focus changes are no answer
    e_.fala.paraFala();
    if (c == 0) return {e_.crt.leTecla(), true};
    return {c, false};
}

void Formulario::guarda() {
    for (Item& item : itens_) {
        const std::string texto(apara(item.texto));
        if (item.variavelTexto) *item.variavelTexto = texto.substr(0, kMaximoTexto);
        if (item.variavelInteiro) {
            const long valor = inteiroIni(texto).value_or(0);
            *item.variavelInteiro = static_cast<int>(std::clamp<long>(
                valor, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
        }
    }
}

// A changed text the field cannot use: the beep, the valid values said, and the text it had
// back. The text it had is never refused, so a value read from a file leaves as it came.
bool Formulario::recusa(Item& item, const std::string& antes) {
    const std::string_view texto = apara(item.texto);
    if (!item.validos.aceita || texto == apara(antes) || item.validos.aceita(texto)) return false;
    item.texto = antes;
    e_.fala.bip();
    e_.fala.falaTexto(item.validos.descricao);
    return true;
}

FimCampo Formulario::executaFormulario() {
    const int n = static_cast<int>(itens_.size());
    if (n == 0) return {27, false};
    mostraVisiveis();
    int atual = 0;
    for (;;) {
        FimCampo fim;
        if (atual < 0 || atual >= n) {
            fim = esperaNaPonta(atual);
        } else {
            rolaAte(atual);
            Item& item = itens_[static_cast<size_t>(atual)];
            desenhaItem(atual, true);
            anuncia(item);
            const std::string antes = item.texto;
            fim = editaCampo(e_, item.texto, campoDe(atual));
            const bool recusado = recusa(item, antes);
            desenhaItem(atual, false);
            e_.crt.TextBackground(0);
            if (recusado) continue;  // the same field again, whatever the key was
        }
        bool termina = false;
        atual = destino(atual, fim, termina);
        if (termina) {
            guarda();
            return fim;
        }
    }
}
