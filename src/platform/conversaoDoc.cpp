#include "platform/conversaoDoc.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/arquivoSistema.h"
#include "platform/caminhos.h"
#include "platform/processos.h"
#include "platform/texto.h"

namespace fs = std::filesystem;

ResultadoConversor executaConversor(const std::vector<std::string>& argumentos,
                                    const fs::path& saida, std::chrono::milliseconds limite,
                                    const std::function<bool()>& aguarda) {
    Processos processos;
    if (processos.iniciaConversor(argumentos, saida) != 0) return {};
    const auto fim = std::chrono::steady_clock::now() + limite;
    while (!processos.esperaFim(std::chrono::milliseconds(100))) {
        if (!aguarda()) {
            processos.encerra();
            return {FimConversor::Desistiu, -1};
        }
        if (std::chrono::steady_clock::now() >= fim) {
            processos.encerra();
            return {FimConversor::Expirou, -1};
        }
    }
    const std::optional<int> codigo = processos.codigoSaida();
    if (codigo == 0) return {FimConversor::Concluido, 0};
    return {FimConversor::Falhou, codigo.value_or(-1)};
}

fs::path achaConversor(std::string_view configurado, std::initializer_list<std::string_view> nomes) {
    const std::string_view valor = apara(configurado);
    if (igualSemCaixa(valor, "N")) return {};
    std::error_code ec;
    if (!valor.empty()) {
        const fs::path programa = fs::absolute(achaPrograma(valor), ec);
        return !ec && ehExecutavel(programa) ? programa : fs::path();
    }
    for (std::string_view nome : nomes)
        if (fs::path achado = achaNoPath(nome); !achado.empty()) return achado;
    return {};
}

fs::path achaLibreOffice(std::string_view configurado) {
    if (fs::path achado = achaConversor(configurado, {"soffice", "libreoffice"});
        !achado.empty() || !apara(configurado).empty())
        return achado;
    return libreOfficeInstalado();
}

std::string enderecoArquivo(const fs::path& caminho) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    // Forward slashes on every system; a drive's path becomes file:///C:/...
    std::string local = caminho.generic_string();
    const bool drive = local.size() >= 2 && std::isalpha(static_cast<unsigned char>(local[0])) &&
                       local[1] == ':';
    if (drive) local.insert(0, "/");
    std::string endereco = "file://";
    for (size_t i = 0; i < local.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(local[i]);
        const bool livre = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '/' || c == '-' || c == '_' ||
                           c == '.' || c == '~' || (drive && i == 2);
        if (livre) {
            endereco += static_cast<char>(c);
        } else {
            endereco += '%';
            endereco += kHex[c >> 4];
            endereco += kHex[c & 15];
        }
    }
    return endereco;
}

namespace {

// The family's own LibreOffice profile: a first start makes it, later ones reuse it.
fs::path perfilLibreOffice() {
    return pastaXdg("XDG_CACHE_HOME", ".cache") / "sonare" / "libreoffice";
}

}  // namespace

std::vector<std::string> argumentosLibreOffice(const fs::path& soffice, const fs::path& documento,
                                               std::string_view formato, const fs::path& pasta) {
    std::error_code ec;
    return {soffice.string(),
            "-env:UserInstallation=" + enderecoArquivo(perfilLibreOffice()),
            "--headless",
            "--norestore",
            "--convert-to",
            std::string(formato),
            "--outdir",
            pasta.string(),
            // An absolute name, so that a document named "-x.doc" is no option.
            fs::absolute(documento, ec).string()};
}

PastaConversao::PastaConversao() {
    caminho_ = criaPastaTemporaria("sonare-conversao");
}

PastaConversao::~PastaConversao() {
    std::error_code ec;
    if (valida()) fs::remove_all(caminho_, ec);
}

bool leArquivoInteiro(const fs::path& arquivo, std::string& conteudo, uintmax_t maximo) {
    std::error_code ec;
    if (!fs::is_regular_file(arquivo, ec) || fs::file_size(arquivo, ec) > maximo || ec) return false;
    std::ifstream f(arquivo, std::ios::binary);
    if (!f) return false;
    conteudo.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return !f.bad();
}
