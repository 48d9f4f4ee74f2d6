// The block commands that read and write files: L reads a file in as the block, G writes
// the block to a file, A appends it to one.
#include <cerrno>
#include <string>
#include <vector>

#include "editor/commands/edBloco.h"
#include "editor/commands/edDocUti.h"
#include "editor/edArqCodif.h"
#include "editor/edArq.h"
#include "editor/edListaArq.h"
#include "editor/edMensag.h"
#include "platform/arquivoSistema.h"
#include "platform/texto.h"

namespace {

// More lines than this from one file would take the memory the text needs: the rest of
// the file is left out and "EDARTRUN" said.
constexpr size_t kMaximoLinhasLidas = 2'000'000;

bool semPonto(std::string_view nome) {
    return nome.substr(parteDiretorio(nome).size()).find('.') == std::string_view::npos;
}

// The file's lines, by the same rules as loading a text.
struct Leitura {
    EstadoLeitura estado = EstadoLeitura::NaoExiste;
    std::vector<std::string> linhas;
    bool dividiu = false, truncou = false;
    bool utf8Recusado = false;  // UTF-8 with too many characters Windows-1252 lacks: bytes
};

// A UTF-8 file is decoded, its characters Windows-1252 lacks taken into `cod`, the text's.
Leitura leLinhasArquivo(const std::string& nome, CodificacaoArquivo& cod) {
    Leitura r;
    CodificacaoArquivo doArquivo;
    LeitorLinhas leitor([&](std::string_view l) {
        if (r.linhas.size() < kMaximoLinhasLidas)
            r.linhas.push_back(cod.adota(doArquivo, l));
        else
            r.truncou = true;
    });
    // Read again as bytes: the lines and the placeholders they gave the text start over.
    const CodificacaoArquivo antes = cod;
    const auto recomeca = [&] {
        r.linhas.clear();
        r.truncou = false;
        cod = antes;
    };
    r.estado = leArquivoCodificado(caminhoSistema(nome), leitor, doArquivo, recomeca);
    r.dividiu = leitor.dividiu();
    r.utf8Recusado = doArquivo.utf8Recusado;
    return r;
}

// Appends lines `primeira`..`ultima` of the text to the existing regular file `nome`, in
// the file's own encoding and line ends (a UTF-8 file stays UTF-8), on a line of their own.
// On a failed write the file is cut back to what it held, so a block is never left half
// appended.
enum class Adicao { Feita, NaoExiste, GrandeDemais, Falhou };
Adicao acrescentaAoArquivo(const EdVars& ed, const std::string& nome, int primeira, int ultima) {
    const auto bytesDoBloco = [&](std::string_view atual) {
        CodificacaoArquivo cod = codificacaoDoArquivo(atual);
        std::string bytes;
        if (cod.semQuebraNoFim) bytes += cod.quebra();
        for (int i = primeira; i <= ultima; ++i) {
            bytes += cod.codificaLinha(cod.adota(ed.codificacao, ed.texto.vista(i)));
            bytes += cod.quebra();
        }
        return bytes;
    };
    switch (anexaAoArquivo(caminhoSistema(nome), kMaiorArquivoTexto, bytesDoBloco)) {
        case Anexo::Feito: return Adicao::Feita;
        case Anexo::NaoExiste: return Adicao::NaoExiste;
        case Anexo::GrandeDemais: return Adicao::GrandeDemais;
        case Anexo::Falhou: break;
    }
    return Adicao::Falhou;
}

}  // namespace

// The file goes in before the cursor line and becomes the block; the file being edited
// stays the one it was.
void leArquivoBloco(Editor& e) {
    EdVars& ed = e.ed;
    falaMensagem(e, "EDDIGNOM");
    std::string nome(apara(pedeNomeArquivo(e, 15)));
    if (nome.empty() || nome.back() == '/' || nome.back() == '\\')
        return falaMensagem(e, "EDDESIST");
    nome = caminhoCompleto(nome);
    if (semPonto(nome) && !podeAbrir(caminhoSistema(nome))) nome += "." + ed.extensaoPadrao;
    // A word-processor document is offered for conversion as when it is opened; nothing
    // comes in when the user gives up or the conversion fails (said).
    nome = importaDocumento(e, nome);
    if (nome.empty()) return;
    Leitura r = leLinhasArquivo(nome, ed.codificacao);
    if (r.estado == EstadoLeitura::NaoExiste || r.estado == EstadoLeitura::Ilegivel)
        return falaMensagem(e, "EDARQNAO");
    if (r.estado == EstadoLeitura::GrandeDemais) return falaMensagem(e, "EDARQGRD");
    if (r.dividiu) falaMensagem(e, "EDLINGRA");
    if (r.utf8Recusado) falaMensagem(e, "EDUTFDEM");
    if (r.estado == EstadoLeitura::ErroNoMeio) falaMensagem(e, "EDERRLEI");  // the part read stays
    if (r.truncou) falaMensagem(e, "EDARTRUN");
    const int linha = std::max(ed.linhaAtual, 1);
    if (!ed.insereLinhas(linha, r.linhas)) e.fala.bip();
    ed.inicioBloco = linha;
    ed.fimBloco = linha + static_cast<int>(r.linhas.size()) - 1;
    ed.linhaAtual = linha;
    ed.colunaAtual = 1;
    falaMensagem(e, "EDBLKCRG");
}

// The block through the editor's own saving, asked for a new name: either its lines as
// they are or joined into paragraphs for a word processor.
void gravaBloco(Editor& e) {
    EdVars& ed = e.ed;
    if (!blocoValido(ed)) return falaMensagem(e, "EDBLKINV");
    falaMensagem(e, "EDREFORM");
    const uint8_t c = leResposta(e);
    if (c == 27) return falaMensagem(e, "EDDESIST");
    const std::string nome = std::move(ed.nomeArquivo);
    const bool leitura = ed.modoLeitura;
    ed.nomeArquivo.clear();
    ed.modoLeitura = false;
    if (c == 'S')
        gravaParagrafos(e, ed.inicioBloco, ed.fimBloco);
    else
        gravaArquivo(e, ed.inicioBloco, ed.fimBloco);
    ed.nomeArquivo = nome;
    ed.modoLeitura = leitura;
}

void adicionaBlocoArquivo(Editor& e) {
    const EdVars& ed = e.ed;
    if (!blocoValido(ed)) return falaMensagem(e, "EDBLKINV");
    falaMensagem(e, "EDDIGNOM");
    std::string nome(apara(pedeNomeArquivo(e, 15)));
    if (nome.empty()) return falaMensagem(e, "EDDESIST");
    if (semPonto(nome) && !podeAbrir(caminhoSistema(nome))) nome += ".txt";
    switch (acrescentaAoArquivo(ed, nome, ed.inicioBloco, ed.fimBloco)) {
        case Adicao::Feita: return falaMensagem(e, "EDBLKADC");
        case Adicao::NaoExiste: return falaMensagem(e, "EDARQNAO");
        case Adicao::GrandeDemais: return falaMensagem(e, "EDARQGRD");
        case Adicao::Falhou: return falaMensagem(e, "EDERRESC");
    }
}
