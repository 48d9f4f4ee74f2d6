#include "editor/commands/eddoc.h"

#include <algorithm>
#include <array>
#include <span>

#include "editor/commands/edDocUti.h"
#include "editor/edArq.h"
#include "editor/edArqDisco.h"
#include "editor/edCampo.h"
#include "editor/edLinha.h"
#include "editor/edMarcas.h"
#include "editor/edMensag.h"
#include "editor/edtela.h"
#include "editor/listaSelecao.h"
#include "platform/texto.h"

namespace {

constexpr uint8_t kEsc = 27;
constexpr uint8_t kCtrlI = 9, kCtrlN = 14, kCtrlS = 19;
constexpr uint8_t kF1 = 59, kF8 = 66, kF9 = 67, kAcima = 72, kAbaixo = 80;

// A menu of the marks: its list of alternatives (a help list without a title line) and
// the key each of its entries stands for.
struct MenuMarcas {
    std::string_view pergunta, lista;
    std::span<const uint8_t> teclas;
};

constexpr uint8_t kTeclasTipo[] = {'F', 'A'};
constexpr uint8_t kTeclasAlinhamento[] = {'J', 'C', 'D', 'E'};
constexpr uint8_t kTeclasFonte[] = {'F', 'T', 'C', 'N', kCtrlN, 'I', kCtrlI, 'S', kCtrlS};

constexpr MenuMarcas kMenuTipo{"EDCOMAND", "EDAJMF", {kTeclasTipo, 2}};
constexpr MenuMarcas kMenuAlinhamento{"EDOPCAO", "EDAJDA", {kTeclasAlinhamento, 4}};
constexpr MenuMarcas kMenuFonte{"EDOPCAO", "EDAJF0", {kTeclasFonte, 9}};

constexpr std::array<int, 16> kTamanhos = {8, 9, 10, 11, 12, 14, 16, 18,
                                           20, 22, 24, 26, 28, 36, 48, 72};

uint8_t maiuscula(uint8_t c) {
    return (c >= 'a' && c <= 'z') ? static_cast<uint8_t>(c - 32) : c;
}

// The key of the entry chosen in the menu's list, or Esc.
uint8_t escolheAlternativa(Editor& e, const MenuMarcas& menu) {
    ListaSelecao lista(e);
    const int n = static_cast<int>(menu.teclas.size());
    lista.abreLista(30, 10, 50, 4, n);
    for (int i = 1; i <= n; ++i)
        lista.adicionaItem(std::string(menu.lista) + std::to_string(i), textoAjuda(menu.lista, i));
    const int k = lista.executaLista();
    return k == 0 ? kEsc : menu.teclas[static_cast<size_t>(k - 1)];
}

// The answer to a menu of the marks: letters upper-cased, control keys as they are, 0 for
// an extended key that chooses nothing. The key is read once the question has been
// spoken; F8 says the time, F1 and F9 say how to see the alternatives, and the arrows
// open them as a list.
uint8_t leOpcao(Editor& e, const MenuMarcas& menu) {
    falaMensagem(e, menu.pergunta);
    for (;;) {
        esperaFimDaFala(e);
        const uint8_t c = e.crt.leTecla();
        if (c == 222 || c == 223) continue;
        if (c != 0) {
            e.fala.falaLetra(c);
            if (c >= 32) e.crt.escreve(std::string(1, static_cast<char>(c)));
            return maiuscula(c);
        }
        const uint8_t scan = e.crt.leTecla();
        if (scan == kF8) {
            e.fala.falaHora();
        } else if (scan == kF1 || scan == kF9) {
            falaMensagem(e, "EDALTERN");
            falaMensagem(e, menu.pergunta);
        } else if (scan == kAcima || scan == kAbaixo) {
            return escolheAlternativa(e, menu);
        } else {
            return 0;
        }
    }
}

// Puts a mark at the cursor; a line with no room for it gives the line's beep instead.
void insereMarca(Editor& e, std::string_view marca) {
    if (!insereTextoNaLinha(e, marca)) return;
    redesenhaTela(e);
    falaMensagem(e, "EDOK");
}

void nomeFonte(Editor& e) {
    const std::vector<std::string> fontes = listaFontes(e);
    if (fontes.empty()) return;
    e.fala.falaTexto(std::to_string(fontes.size()));
    falaMensagem(e, "EDFONTES");
    falaMensagem(e, "EDCFVEL");
    e.crt.Delay(100);
    ListaSelecao lista(e);
    lista.abreLista(e.crt.WhereX(), e.crt.WhereY(), 40, 4,
                    std::min(static_cast<int>(fontes.size()), 14));
    for (const std::string& f : fontes) lista.adicionaItem("", f);
    const int k = lista.executaLista();
    if (k == 0) return falaMensagem(e, "EDDESIST");
    insereMarca(e, "<TF=" + std::string(apara(fontes[static_cast<size_t>(k - 1)])) + ">");
}

// The size typed or chosen from the list; empty when the user gave up.
std::string pedeTamanho(Editor& e) {
    std::string resposta = "12";
    for (;;) {
        falaMensagem(e, "EDDIGTAM");
        Campo campo;
        campo.coluna = e.crt.WhereX();
        campo.linha = e.crt.WhereY();
        campo.largura = 4;
        campo.maximo = 3;
        const FimCampo fim = editaCampo(e, resposta, campo);
        if (!fim.estendida) return fim.tecla == kEsc ? std::string() : resposta;
        if (fim.tecla == kF1 || fim.tecla == kF9) {
            falaMensagem(e, "EDALTERN");
            continue;
        }
        if (fim.tecla != kAcima && fim.tecla != kAbaixo) return resposta;
        ListaSelecao lista(e);
        lista.abreLista(30, 10, 20, 4, 12);
        for (int t : kTamanhos) lista.adicionaItem("", std::to_string(t));
        const int k = lista.executaLista();
        return k == 0 ? std::string() : std::to_string(kTamanhos[static_cast<size_t>(k - 1)]);
    }
}

void tamanhoFonte(Editor& e) {
    const std::string tamanho(apara(pedeTamanho(e)));
    if (tamanho.empty()) return falaMensagem(e, "EDDESIST");
    // Only a size a word processor can take goes into the text.
    const bool numero = std::all_of(tamanho.begin(), tamanho.end(),
                                    [](char c) { return c >= '0' && c <= '9'; });
    if (!numero || std::stoi(tamanho) == 0) return falaMensagem(e, "EDOPCINV");
    insereMarca(e, "<SF=" + tamanho + ">");
}

void corFonte(Editor& e) {
    falaMensagem(e, "EDCFVEL");
    e.crt.Delay(100);
    ListaSelecao lista(e);
    lista.abreLista(30, 10, 30, 4, 12);
    for (int n = 0; n <= 16; ++n) lista.adicionaItem(chaveCor(n), textoMensagem(chaveCor(n)));
    const int k = lista.executaLista();
    if (k == 0) return falaMensagem(e, "EDDESIST");
    insereMarca(e, "<CE=" + std::to_string(k - 1) + ">");
}

void menuAlinhamento(Editor& e) {
    switch (leOpcao(e, kMenuAlinhamento)) {
        case 'J': return insereMarca(e, "<AF>");
        case 'C': return insereMarca(e, "<C>");
        case 'D': return insereMarca(e, "<AR>");
        case 'E': return insereMarca(e, "<AL>");
        case kEsc: return falaMensagem(e, "EDDESIST");
        default: return falaMensagem(e, "EDOPCINV");
    }
}

void menuFonte(Editor& e) {
    switch (leOpcao(e, kMenuFonte)) {
        case 'F': return nomeFonte(e);
        case 'T': return tamanhoFonte(e);
        case 'C': return corFonte(e);
        case 'N': return insereMarca(e, "<IN>");
        case kCtrlN: return insereMarca(e, "<FN>");
        case 'I': return insereMarca(e, "<II>");
        case kCtrlI: return insereMarca(e, "<FI>");
        case 'S': return insereMarca(e, "<IS>");
        case kCtrlS: return insereMarca(e, "<FS>");
        case kEsc: return falaMensagem(e, "EDDESIST");
        default: return falaMensagem(e, "EDOPCINV");
    }
}

// What the converter's end means for the user.
std::string_view mensagemDoConversor(const ResultadoConversor& r) {
    switch (r.fim) {
        case FimConversor::Concluido: return "EDOK";
        case FimConversor::NaoIniciado: return "EDTXTNEX";
        case FimConversor::Expirou: return "EDCNVDEM";
        case FimConversor::Desistiu: return "EDDESIST";
        case FimConversor::Falhou: break;
    }
    // docconv's code 4: the RTF was made, but there is no LibreOffice for the rest.
    return r.codigo == 4 ? "EDDOCRTF" : "EDDOCFAL";
}

}  // namespace

void insereMarcasFormatacao(Editor& e) {
    falaMensagem(e, "EDINSFOR");
    switch (leOpcao(e, kMenuTipo)) {
        case 'A': return menuAlinhamento(e);
        case 'F': return menuFonte(e);
        case kEsc: return falaMensagem(e, "EDDESIST");
        default: return falaMensagem(e, "EDOPCINV");
    }
}

void alternaMarcasTela(Editor& e) {
    e.ed.escreveApenasTexto = !e.ed.escreveApenasTexto;
    redesenhaTela(e);
    falaMensagem(e, e.ed.escreveApenasTexto ? "EDFOROCU" : "EDFORAPA");
}

void escolheModoFalaFormatacao(Editor& e) {
    falaMensagem(e, "EDMOFAFO");
    falaMensagem(e, "EDOPCAO");
    uint8_t c = leTeclaFalada(e);
    if (c == 0) c = menuAjuda(e, e.crt.leTecla(), "EDAJFF", 5);
    switch (c) {
        case 'N':
        case 'F':
        case 'B':
        case 'M': e.ed.modoFalaFormatacao = static_cast<char>(c); break;
        case kEsc: return falaMensagem(e, "EDDESIST");
        default: e.fala.bip();
    }
    falaMensagem(e, "EDOK");
}

void geraDoc(Editor& e) {
    const bool leitura = e.ed.modoLeitura;
    e.ed.modoLeitura = false;
    const bool gravado = gravaTexto(e);
    e.ed.modoLeitura = leitura;
    if (!gravado) return;  // said by the save; nothing on disk to convert
    std::string programa = e.fala.leIni("PLUMAR", "DOCCONV");
    if (programa.empty()) programa = "c:\\ornato\\docconv.exe";
    // The converter gets the name as one argument, blanks and quotes and all, and the
    // LibreOffice this editor uses (none when the configuration says so).
    const std::filesystem::path conversor = achaConversor(programa, {});
    const std::filesystem::path libreOffice = achaLibreOffice(e.fala.leIni("PLUMAR", "LIBREOFFICE"));
    const auto limite = limiteConversao(e);
    ResultadoConversor r;
    if (!conversor.empty())
        r = aguardaConversor(e,
                             {conversor.string(), "--soffice=" + libreOffice.string(),
                              "--limite=" + std::to_string(limite.count() / 1000),
                              caminhoSistema(e.ed.nomeArquivo).string()},
                             {}, limite * 2);
    esperaFimDaFala(e);
    falaMensagem(e, mensagemDoConversor(r));
    e.fala.clique();
}
