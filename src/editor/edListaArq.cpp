#include "editor/edListaArq.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "editor/edArqDisco.h"
#include "editor/edMensag.h"

namespace fs = std::filesystem;

namespace {

constexpr int kTextoLista = 15, kFundoLista = 6;
constexpr int kTextoAtual = 14;  // the current entry stands out for a sighted helper
constexpr int kPasso = 10;       // PgUp/PgDn

uint8_t maiuscula(uint8_t c) {
    if (c >= 'a' && c <= 'z') return static_cast<uint8_t>(c - 32);
    if (c >= 224 && c <= 254 && c != 247) return static_cast<uint8_t>(c - 32);
    return c;
}

bool mesmaLetra(char a, char b) {
    return maiuscula(static_cast<uint8_t>(a)) == maiuscula(static_cast<uint8_t>(b));
}

// '*' and '?' matching with backtracking to the last '*'.
bool casaSimples(std::string_view p, std::string_view n) {
    size_t i = 0, j = 0, estrela = std::string_view::npos, marca = 0;
    while (j < n.size()) {
        if (i < p.size() && (p[i] == '?' || (p[i] != '*' && mesmaLetra(p[i], n[j])))) {
            ++i;
            ++j;
        } else if (i < p.size() && p[i] == '*') {
            estrela = i++;
            marca = j;
        } else if (estrela != std::string_view::npos) {
            i = estrela + 1;
            j = ++marca;
        } else {
            return false;
        }
    }
    while (i < p.size() && p[i] == '*') ++i;
    return i == p.size();
}

std::string semControles(std::string_view texto, int largura) {
    std::string s(texto.substr(0, static_cast<size_t>(largura)));
    for (char& c : s)
        if (static_cast<uint8_t>(c) < 32) c = ' ';
    s.resize(static_cast<size_t>(largura), ' ');
    return s;
}

bool ordemDeNome(const std::string& a, const std::string& b) {
    const auto menor = [](char x, char y) {
        return maiuscula(static_cast<uint8_t>(x)) < maiuscula(static_cast<uint8_t>(y));
    };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), menor)) return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), menor)) return false;
    return a < b;
}

// The part of the screen a list covers, put back as it was when the list closes.
class TelaGuardada {
  public:
    TelaGuardada(SnCrt& crt, int coluna, int linha, int largura, int altura)
        : crt_(crt),
          coluna_(coluna),
          linha_(linha),
          largura_(largura),
          altura_(altura),
          cursorX_(crt.WhereX()),
          cursorY_(crt.WhereY()),
          atributo_(crt.atributoTexto()) {
        for (int y = linha; y < linha + altura; ++y)
            for (int x = coluna; x < coluna + largura; ++x) {
                caracteres_.push_back(static_cast<char>(crt.caractereEm(x, y)));
                atributos_.push_back(crt.atributoEm(x, y));
            }
    }
    ~TelaGuardada() {
        for (int r = 0; r < altura_; ++r) {
            crt_.GotoXY(coluna_, linha_ + r);
            for (int x = 0; x < largura_; ++x) {
                const size_t i = static_cast<size_t>(r * largura_ + x);
                crt_.TextColor(atributos_[i] & 15);
                crt_.TextBackground(atributos_[i] >> 4);
                crt_.escreve(semControles(std::string_view(&caracteres_[i], 1), 1));
            }
        }
        crt_.TextColor(atributo_ & 15);
        crt_.TextBackground(atributo_ >> 4);
        crt_.GotoXY(cursorX_, cursorY_);
    }
    TelaGuardada(const TelaGuardada&) = delete;
    TelaGuardada& operator=(const TelaGuardada&) = delete;

  private:
    SnCrt& crt_;
    int coluna_, linha_, largura_, altura_;
    int cursorX_, cursorY_;
    uint8_t atributo_;
    std::string caracteres_;
    std::vector<uint8_t> atributos_;
};

class ListaArquivos {
  public:
    ListaArquivos(Editor& e, const std::vector<std::string>& nomes, int linha, int altura)
        : e_(e), nomes_(nomes), marcado_(nomes.size(), false) {
        altura_ = std::clamp(altura, 1, SnCrt::kLinhas);
        linha_ = std::clamp(linha, 1, SnCrt::kLinhas + 1 - altura_);
        // Writing the last cell of the screen would scroll it.
        largura_ = linha_ + altura_ - 1 == SnCrt::kLinhas ? SnCrt::kColunas - 1 : SnCrt::kColunas;
    }

    EscolhaArquivo executa() {
        TelaGuardada guarda(e_.crt, 1, linha_, largura_, altura_);
        anuncia();
        for (;;) {
            const uint8_t c = e_.crt.leTecla();
            if (c == 222 || c == 223) continue;  // focus changes are no keys
            e_.fala.paraFala();
            switch (c) {
                case 13:
                    return {FimLista::Escolheu, nomes_[static_cast<size_t>(atual_)]};
                case 27:
                    return {FimLista::Desistiu, {}};
                case 9:
                    e_.fala.clique();
                    e_.fala.clique();
                    return {FimLista::Volta, {}};
                case 0:
                    estendida(e_.crt.leTecla());
                    break;
                case ' ':
                    marca(atual_, !marcado(atual_));
                    break;
                case '+':
                    marca(atual_, true);
                    break;
                case '-':
                    marca(atual_, false);
                    break;
                case '*':
                    marcaTodos(true);
                    break;
                case '/':
                    marcaTodos(false);
                    break;
                default:
                    anuncia();
                    break;
            }
        }
    }

  private:
    int total() const { return static_cast<int>(nomes_.size()); }
    bool marcado(int i) const { return marcado_[static_cast<size_t>(i)]; }
    const std::string& nome(int i) const { return nomes_[static_cast<size_t>(i)]; }

    void estendida(uint8_t scan) {
        const bool shift = e_.crt.modificadores().shift;
        switch (scan) {
            case 80:
                move(atual_ + 1);
                break;
            case 72:
                move(atual_ - 1);
                break;
            case 81:
                move(atual_ + kPasso);
                break;
            case 73:
                move(atual_ - kPasso);
                break;
            case 71:
            case 132:
                extremo(0, shift);
                break;
            case 79:
            case 118:
                extremo(total() - 1, shift);
                break;
            case 63:
                procuraLetra();
                break;
            case 98:
                procura();
                break;
            case 75:
            case 77:
                e_.fala.soletra(nome(atual_));
                break;
            case 102:  // Ctrl+Alt+F9: review the screen the list is drawn on
                if (e_.crt.modificadores().alt) revisaTelaAvisada(e_);
                else anuncia();
                break;
            default:
                anuncia();
                break;
        }
    }

    void desenha() {
        if (atual_ < primeiro_) primeiro_ = atual_;
        if (atual_ >= primeiro_ + altura_) primeiro_ = atual_ - altura_ + 1;
        SnCrt& crt = e_.crt;
        crt.TextBackground(kFundoLista);
        for (int r = 0; r < altura_; ++r) {
            const int i = primeiro_ + r;
            crt.TextColor(i == atual_ ? kTextoAtual : kTextoLista);
            crt.GotoXY(1, linha_ + r);
            crt.escreve(semControles(i < total() ? std::string_view(nome(i)) : "", largura_));
        }
        crt.GotoXY(1, linha_ + atual_ - primeiro_);
    }

    // The current entry written and spoken, after one beep when it is marked.
    void anuncia() {
        desenha();
        if (marcado(atual_)) e_.fala.bip();
        e_.fala.falaTexto(nome(atual_));
    }

    void move(int alvo) {
        if (alvo < 0 || alvo >= total()) return e_.fala.bip();
        atual_ = alvo;
        anuncia();
    }

    // Home and End; with Shift every entry from here to there is marked, and the beep of
    // the marked entry reached is the one beep heard.
    void extremo(int alvo, bool shift) {
        if (shift)
            for (int i = std::min(atual_, alvo); i <= std::max(atual_, alvo); ++i)
                marcado_[static_cast<size_t>(i)] = true;
        atual_ = alvo;
        anuncia();
    }

    void marca(int i, bool sim) {
        marcado_[static_cast<size_t>(i)] = sim;
        anuncia();
    }

    void marcaTodos(bool sim) {
        std::fill(marcado_.begin(), marcado_.end(), sim);
        anuncia();
    }

    void procuraLetra() {
        uint8_t c;
        do c = e_.crt.leTecla();
        while (c == 222 || c == 223);
        if (c == 0) {
            e_.crt.leTecla();  // an extended key is no letter to look for
            return e_.fala.bip();
        }
        letraProcurada_ = c;
        procura();
    }

    // The next entry whose name begins with the letter looked for, going round from the
    // top; one beep when there is none.
    void procura() {
        if (letraProcurada_ == 0) return e_.fala.bip();
        const uint8_t alvo = maiuscula(letraProcurada_);
        for (int k = 1; k <= total(); ++k) {
            const int i = (atual_ + k) % total();
            if (!nome(i).empty() && maiuscula(static_cast<uint8_t>(nome(i)[0])) == alvo) {
                atual_ = i;
                return anuncia();
            }
        }
        e_.fala.bip();
    }

    Editor& e_;
    const std::vector<std::string>& nomes_;
    std::vector<bool> marcado_;
    int linha_ = 1, altura_ = 1, largura_ = SnCrt::kColunas;
    int atual_ = 0, primeiro_ = 0;
    uint8_t letraProcurada_ = 0;
};

}  // namespace

std::string parteDiretorio(std::string_view nome) {
    const size_t barra = nome.find_last_of("/\\");
    return barra == std::string_view::npos ? std::string() : std::string(nome.substr(0, barra + 1));
}

std::string padraoDaLista(std::string_view nome) {
    if (nome.find('*') != std::string_view::npos) return std::string(nome);
    return parteDiretorio(nome) + (nome.find('.') != std::string_view::npos ? "*" : "*.*");
}

bool casaPadrao(std::string_view padrao, std::string_view nome) {
    if (casaSimples(padrao, nome)) return true;
    // "x.*" also stands for "x" without an extension.
    return padrao.size() >= 2 && padrao.substr(padrao.size() - 2) == ".*" &&
           casaSimples(padrao.substr(0, padrao.size() - 2), nome);
}

std::vector<std::string> arquivosDoPadrao(std::string_view padrao) {
    const std::string pasta = parteDiretorio(padrao);
    const std::string_view nomes = padrao.substr(pasta.size());
    const bool ocultos = !nomes.empty() && nomes[0] == '.';
    std::vector<std::string> achados;
    std::error_code ec;
    for (fs::directory_iterator it(pasta.empty() ? fs::path(".") : caminhoSistema(pasta), ec), fim;
         !ec && it != fim; it.increment(ec)) {
        std::error_code ecTipo;
        if (!it->is_regular_file(ecTipo)) continue;  // folders, devices, broken links
        std::string nome = nomeEditor(it->path().filename());
        if ((nome[0] == '.' && !ocultos) || !casaPadrao(nomes, nome)) continue;
        achados.push_back(std::move(nome));
    }
    std::sort(achados.begin(), achados.end(), ordemDeNome);
    return achados;
}

EscolhaArquivo escolheArquivo(Editor& e, const std::vector<std::string>& nomes, int linha,
                              int altura) {
    if (nomes.empty()) return {};
    return ListaArquivos(e, nomes, linha, altura).executa();
}
