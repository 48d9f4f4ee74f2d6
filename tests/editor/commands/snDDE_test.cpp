#include "editor/commands/snDDE.h"

#include <fstream>
#include <thread>

#include "editor/sessao.h"
#include "platform/ligacaoLocal.h"

using namespace std::chrono_literals;

namespace {

class BlocoServidor : public SessaoEdicao {
  protected:
    // Block S with a server of `aplicacao`/`topico` listening; what it received.
    std::optional<ligacao::Entrega> envia(const char* aplicacao = "MONOLOG", const char* topico = "TALK") {
        ligacao::Servidor servidor;
        EXPECT_EQ(servidor.abre(aplicacao, topico), "");
        std::optional<ligacao::Entrega> recebida;
        std::thread t([&] { recebida = servidor.atende(300ms); });
        enviaBlocoServidor(e());
        t.join();
        return recebida;
    }
    PastaTemporaria runtime_{"rt"};
    Variavel xdg_{"XDG_RUNTIME_DIR", runtime_.caminho().string()};
};

TEST_F(BlocoServidor, TheBlockGoesToMonologTalkWithCrLfAndNul) {
    texto({"um", "dois", "tres"});
    ed().inicioBloco = 2;
    ed().fimBloco = 3;
    auto r = envia();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->dados, std::string("dois\r\ntres\r\n\0", 13));
    EXPECT_EQ(r->item, "");
    EXPECT_TRUE(ouvido().empty());
    // No valid block: the NUL alone.
    ed().limpaBloco();
    r = envia();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->dados, std::string(1, '\0'));

    std::ofstream(pasta_ / "SONARE.INI") << "[PLUMAR]\nSERVIDOR=leitor\nTOPICO=bloco\nITEM=texto\n";
    r = envia("LEITOR", "BLOCO");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->item, "texto");
}

TEST_F(BlocoServidor, SixtyFiveThousandBytesGoOneMoreIsRefused) {
    // 260 lines of 248 characters, each 250 with CR LF: 65,001 with the NUL; then 65,000.
    texto(Linhas(260, std::string(248, 'a')));
    ed().inicioBloco = 1;
    ed().fimBloco = 260;
    EXPECT_FALSE(envia());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDGRANDE"}));
    ed().trocaLinha(260, std::string(247, 'a'));
    const auto r = envia();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->dados.size(), 65000u);
    EXPECT_TRUE(ouvido().empty());
}

TEST_F(BlocoServidor, NobodyListeningSaysServerError) {
    texto({"um"});
    enviaBlocoServidor(e());
    EXPECT_EQ(ouvidoSemTextos(), (Ouvido{"mensagem EDERRSRV"}));
}

}  // namespace
