// docconv: the family's document converter. Reads a text with formatting marks (Windows-
// 1252, or UTF-8) and writes the document beside it: NAME.rtf written here, then, when
// LibreOffice is installed, NAME.doc (or the form --formato asks for) converted from it.
//
//   docconv [--formato=doc|docx|odt|rtf] [--soffice=PATH] [--limite=SECONDS] FILE
//
// --soffice names LibreOffice (empty: none); without it LibreOffice is looked for in PATH.
// Exit codes: 0 done; 1 wrong arguments; 2 the text cannot be read; 3 a document cannot be
// written (or would replace the text itself); 4 the RTF was written but there is no
// LibreOffice for the rest; 5 LibreOffice failed or ran past the time limit.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/conversaoDoc.h"
#include "rtf.h"

namespace fs = std::filesystem;

namespace {

enum Saida { kFeito = 0, kUso = 1, kSemTexto = 2, kSemGravar = 3, kSemLibreOffice = 4, kFalhaLibreOffice = 5 };

struct Pedido {
    std::string formato = "doc";
    std::optional<std::string> soffice;
    int limite = 60;
    fs::path texto;
};

std::optional<Pedido> leArgumentos(int argc, char** argv) {
    Pedido p;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a.starts_with("--formato="))
            p.formato = a.substr(10);
        else if (a.starts_with("--soffice="))
            p.soffice = std::string(a.substr(10));
        else if (a.starts_with("--limite="))
            p.limite = std::atoi(std::string(a.substr(9)).c_str());
        else if (a.starts_with("--") || !p.texto.empty())
            return std::nullopt;
        else
            p.texto = a;
    }
    const bool formatoValido =
        p.formato == "doc" || p.formato == "docx" || p.formato == "odt" || p.formato == "rtf";
    if (p.texto.empty() || !formatoValido) return std::nullopt;
    if (p.limite < 1 || p.limite > 3600) p.limite = 60;
    return p;
}

// LibreOffice's export filter of each form.
std::string filtro(std::string_view formato) {
    if (formato == "doc") return "doc:MS Word 97";
    if (formato == "docx") return "docx:MS Word 2007 XML";
    return std::string(formato);
}

bool mesmoArquivo(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec);
}

// The RTF made into the other form by LibreOffice, in a folder of its own, then put
// beside the text.
int converteComLibreOffice(const Pedido& p, const fs::path& soffice, std::string_view rtf,
                           const fs::path& destino) {
    PastaConversao pasta;
    if (!pasta.valida()) return kSemGravar;
    const fs::path nome = destino.stem();
    const fs::path entrada = pasta.caminho() / fs::path(nome).replace_extension(".rtf");
    if (!gravaArquivoInteiro(entrada, rtf)) return kSemGravar;
    const fs::path saidas = pasta.caminho() / "saida";
    std::error_code ec;
    if (!fs::create_directory(saidas, ec)) return kSemGravar;
    const ResultadoConversor r =
        executaConversor(argumentosLibreOffice(soffice, entrada, filtro(p.formato), saidas), {},
                         std::chrono::seconds(p.limite), [] { return true; });
    std::string documento;
    const fs::path feito = saidas / fs::path(nome).replace_extension("." + p.formato);
    if (r.fim != FimConversor::Concluido || !leArquivoInteiro(feito, documento, uintmax_t{1} << 31))
        return kFalhaLibreOffice;
    return gravaArquivoInteiro(destino, documento) ? kFeito : kSemGravar;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Pedido> p = leArgumentos(argc, argv);
    if (!p) {
        std::fputs("uso: docconv [--formato=doc|docx|odt|rtf] [--soffice=PROGRAMA] "
                   "[--limite=SEGUNDOS] ARQUIVO\n", stderr);
        return kUso;
    }
    std::string texto;
    if (!leArquivoInteiro(p->texto, texto, uintmax_t{256} << 20)) {
        std::fprintf(stderr, "docconv: n\xC3\xA3o foi poss\xC3\xADvel ler %s\n", p->texto.c_str());
        return kSemTexto;
    }
    const std::string rtf = geraRtf(texto);
    const fs::path destinoRtf = fs::path(p->texto).replace_extension(".rtf");
    const fs::path destino = fs::path(p->texto).replace_extension("." + p->formato);
    // The text itself is never written over (a document opened as text keeps its name).
    if (mesmoArquivo(destinoRtf, p->texto) || mesmoArquivo(destino, p->texto)) {
        std::fprintf(stderr, "docconv: o documento substituiria o pr\xC3\xB3prio texto\n");
        return kSemGravar;
    }
    if (!gravaArquivoInteiro(destinoRtf, rtf)) {
        std::fprintf(stderr, "docconv: n\xC3\xA3o foi poss\xC3\xADvel gravar %s\n", destinoRtf.c_str());
        return kSemGravar;
    }
    if (p->formato == "rtf") return kFeito;
    const fs::path soffice = achaLibreOffice(p->soffice.value_or(""));
    if (soffice.empty() || (p->soffice && p->soffice->empty())) return kSemLibreOffice;
    return converteComLibreOffice(*p, soffice, rtf, destino);
}
