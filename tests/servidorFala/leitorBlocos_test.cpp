// The companion server's block reader against a fake speech service that goes away and
// comes back: every block is spoken, by the service when it is there (over a new connection
// after a restart) and by the reserve voice on the same block when it is not.
#include "servidorFala/leitorBlocos.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "apoio.h"
#include "servicoSsipFalso.h"

namespace {

using namespace std::chrono_literals;

bool recebeu(const std::vector<std::string>& linhas, const std::string& texto) {
    return std::find(linhas.begin(), linhas.end(), texto) != linhas.end();
}

TEST(LeitorBlocos, EveryBlockIsSpokenAcrossARestartAndWhileTheServiceIsGone) {
    PastaTemporaria pasta;
    const std::filesystem::path socket = pasta / "s";
    Variavel endereco("SPEECHD_ADDRESS", "unix_socket:" + socket.string());
    const std::string vozes = "249-Lia\tpt-BR\tnone\r\n";
    ServidorSpeechd servico(200ms);
    std::vector<std::string> reserva;
    LeitorBlocos leitor(servico, [&](std::string_view t) { reserva.emplace_back(t); });

    {
        ServicoFalso primeiro(socket, vozes);
        leitor.fala("um");
        primeiro.fecha();  // the service is restarted: the connection dies unnoticed
        EXPECT_TRUE(recebeu(primeiro.linhasAteOFim(), "um"));
    }
    {
        ServicoFalso segundo(socket, vozes);
        leitor.fala("dois");
        segundo.fecha();
        const std::vector<std::string> linhas = segundo.linhasAteOFim();
        EXPECT_TRUE(recebeu(linhas, "dois"));
        EXPECT_TRUE(recebeu(linhas, "SET SELF SYNTHESIS_VOICE Lia"));
    }
    leitor.fala("tres");  // no service: the reserve, at once
    ServicoFalso terceiro(socket, vozes);
    leitor.fala("quatro");
    leitor.fala("");  // stops, and sends nothing to read
    terceiro.fecha();
    const std::vector<std::string> linhas = terceiro.linhasAteOFim();
    EXPECT_TRUE(recebeu(linhas, "quatro"));
    EXPECT_EQ(std::count(linhas.begin(), linhas.end(), "SPEAK"), 1);
    // Each block first stops the reserve; only the block the service missed went to it.
    EXPECT_EQ(reserva, (std::vector<std::string>{"", "", "", "tres", "", ""}));
}

}  // namespace
