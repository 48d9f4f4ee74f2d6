#include "speech/sintetizador.h"

#include <system_error>

#include "platform/caminhos.h"
#include "platform/ini.h"
#include "speech/abreviaturas.h"
#include "speech/tradutor.h"

namespace {

std::filesystem::path diretorioIni(const std::filesystem::path& ini, std::string_view chave,
                                   std::string_view padrao) {
    std::string dir = leIniArquivo(ini, "TRADUTOR", chave, padrao);
    if (dir.empty() || dir.back() != '\\') dir += '\\';
    return arquivoWindows(dir);
}

bool ehDiretorio(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::is_directory(p, ec);
}

}  // namespace

ConfiguracaoSintetizador leConfiguracaoSintetizador(const std::filesystem::path& ini,
                                                    std::string_view banco) {
    const LeIniFala leIni = [&](std::string_view secao, std::string_view chave) {
        return leIniArquivo(ini, secao, chave);
    };
    return {diretorioIni(ini, "dirLetras", "c:\\ornato\\som\\letras"),
            diretorioIni(ini, "DIRDIFONES", "c:\\ornato\\som\\difones"), std::string(banco),
            arquivoBrisatts(leIni, ".exc")};
}

Sintetizador::Sintetizador(SaidaSom saida) : saida_(std::move(saida)) {}

int Sintetizador::abre(const ConfiguracaoSintetizador& config) {
    fecha();
    if (!ehDiretorio(config.dirLetras) || !ehDiretorio(config.dirDifones)) return kSemArquivosDeVoz;
    std::string banco = config.banco.substr(0, kMaxNomeDifone);
    if (banco.empty()) return kSemArquivosDeVoz;
    auto arquivo = [&](const std::string& nome) { return achaArquivo(config.dirDifones / nome); };
    auto difones = BancoDifones::abre(arquivo(banco + ".IND"), arquivo(banco + ".DIF"));
    if (!difones) return kSemArquivosDeVoz;
    auto regras = leRegras(arquivo("regras.rgr"));
    auto excecoes = leExcecoes(arquivo("portug.exc"));
    if (!regras || !excecoes) return kSemRegras;
    regras_ = std::move(*regras);
    excecoes_ = comExcecoesComuns(*excecoes, leExcecoes(config.excecoesComuns).value_or(Excecoes{}));
    concatenador_.emplace(std::move(*difones), config.dirLetras, saida_);
    concatenador_->mudaCortes(cortes_);
    return kSintetizadorPronto;
}

void Sintetizador::fecha() {
    concatenador_.reset();
    regras_ = Regras();
    excecoes_ = Excecoes();
}

void Sintetizador::mudaCortes(const Cortes& cortes) {
    cortes_ = cortes;
    if (concatenador_) concatenador_->mudaCortes(cortes_);
}

std::string Sintetizador::traduz(std::string_view texto) const {
    return ::traduz(texto, regras_, excecoes_);
}

void Sintetizador::falaFonetica(std::string_view fonetica) {
    if (concatenador_) concatenador_->fala(fonetica);
}

void Sintetizador::falaTexto(std::string_view texto) {
    falaFonetica(traduz(texto));
}
