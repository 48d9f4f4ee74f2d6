// Fuzz entry for the math translator and its evaluator: the input is a document (lines split
// at LF), its first byte chooses the cursor line. Whatever the lines hold, the translation
// ends, with a valid outcome or an error of the table, and the document is left as it was;
// IN statements are answered from a short key script, then with Esc. Each line is also an
// assignment, its function calls rewritten as a run does, evaluated against one variable
// memory: it ends with a value that reads back as a number (or a text, for a text variable)
// or with an error number of the table, and the step trace matches.
#include "fuzz.h"
#include "programa/montagem.h"
#include "mathmode/EDNUMERACOMPILAMEMORIA.h"
#include "mathmode/EDNUMERAFUNCOES.h"
#include "mathmode/EDNUMERASINTAXES.h"
#include "mathmode/EDNUMERAVARS.h"

namespace {

struct FimDasTeclas {};

void confereAvaliacao(std::string_view resto) {
    MemoriaNumera m;
    defineConstantes(m, {"Pi", "PI", "3.14159265358979"}, {"TAXA", "0.5"});
    while (!resto.empty()) {
        const std::string_view linha = proximaParte(resto, '\n');
        EstadoNumera estado;
        const std::string instrucao = reescreveFuncoes(linha);
        const std::string valor = avaliaTexto(m, estado, instrucao);
        if (estado.estadoNumera == 2) {
            confirma(estado.codigoErro > 0 && estado.codigoErro < 120 && valor.empty());
            continue;
        }
        const std::string_view nome = std::string_view(instrucao).substr(0, instrucao.find('='));
        const bool texto = nome.starts_with("STR") || nome.starts_with("V_S") || nome.starts_with("M_S");
        double v = 0;
        confirma(texto || leNumero(valor, m.separador, v));
        for (const PassoAvaliacao& p : m.passos()) confirma(leNumero(p.valor, m.separador, v));
        valorOperando(m, estado, linha);
    }
}

}  // namespace

int fuzzNumera(const uint8_t* dados, size_t tamanho) {
    if (tamanho == 0) return 0;
    // Written files go to a folder of this process, never to the user's.
    const std::filesystem::path pasta = temporarioDoFuzz("numera");
    const Variavel windir("SONARE_WINDIR", pasta.string());
    // The exchange statements create their files in the current folder: that one too.
    std::error_code ec;
    std::filesystem::create_directories(pasta, ec);
    const DiretorioAtual aqui(pasta);

    std::vector<std::string> linhas;
    std::string_view texto(reinterpret_cast<const char*>(dados) + 1, tamanho - 1);
    confereAvaliacao(texto);
    do {
        linhas.emplace_back(proximaParte(texto, '\n').substr(0, 255));
    } while (!texto.empty());

    {
        auto sessao = montaSessaoHeadless("-1,5{Left}x{Backspace}{F1}{Right}{Enter}{Esc}{Esc}");
        sessao->crt->defineSaida([](int) { throw FimDasTeclas{}; });
        Editor& e = *sessao->editor;
        e.ed.diretorioMensagens = "c:\\ornato\\plumar\\";
        e.ed.texto.liberaTexto();
        for (size_t i = 0; i < linhas.size(); ++i) e.ed.texto.insere(static_cast<int>(i) + 1, linhas[i]);
        e.ed.linhaAtual = 1 + dados[0] % static_cast<int>(linhas.size());
        try {
            traduzPrograma(e);
            const EstadoNumera& n = e.numera;
            confirma(n.estadoNumera == 1 || n.estadoNumera == 2);
            confirma(n.codigoErro >= 0 && n.codigoErro < 120);
            confirma(n.linhaErro >= 0 && n.linhaErro <= e.ed.nLinhas());
        } catch (const FimDasTeclas&) {
            // More IN statements than keys: the console closed, as when the window does.
        }
        confirma(e.ed.nLinhas() == static_cast<int>(linhas.size()));
        for (size_t i = 0; i < linhas.size(); ++i) confirma(e.ed.linha(static_cast<int>(i) + 1) == linhas[i]);
    }

    std::filesystem::remove_all(pasta, ec);
    return 0;
}
