// The speech front end: every sound the editor makes goes through here. It decides how
// a text is voiced (recorded words and characters, the built-in synthesizer for runs of
// letters, or a speech server) and keeps the speech trace: one line per operation called
// from the rest of the program (calls made inside speech are not traced).
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "console/SnCrt.h"
#include "platform/audio.h"
#include "platform/processos.h"
#include "speech/abreviaturas.h"
#include "speech/servidorFala.h"
#include "speech/sintetizador.h"
#include "speech/tocadorOnda.h"

// Results of starting a program, as the system's "open" reports them: above 32 is success.
constexpr int kProgramaIniciado = 33;
constexpr int kProgramaNaoAchado = 2;
constexpr int kSemAssociacao = 31;  // nothing to open a document or an address with

class Fala {
  public:
    Fala(SnCrt& crt, DispositivoAudio& audio);
    ~Fala();
    Fala(const Fala&) = delete;
    Fala& operator=(const Fala&) = delete;

    // The speech trace goes to `arquivo` (UTF-8, one line per operation).
    void defineRastro(const std::string& arquivo);
    // A line for the trace from a caller outside speech (a message key before its speech).
    void anota(std::string_view linha);

    // The family INI file, with '@' standing for the family's program directory. An empty
    // section means "SONARE"; a missing key gives an empty text.
    std::string leIni(std::string_view secao, std::string_view chave);
    std::filesystem::path arquivoIni() const;
    const std::filesystem::path& diretorioInicial() const { return diretorioInicial_; }

    // Starts speech at `velocidade` 1 to 5 (below 1: TRADUTOR/VELOCIDADE; above 5: 3).
    // A voice bank named for the level that cannot be opened (missing or broken) ends the
    // program after the two console lines, the error beep, the same words said by any
    // speech server that opens, and Enter; a level without a bank name leaves the recorded
    // speech without the synthesizer, said once on the standard error. Once speech has
    // started, a level whose bank fails is refused with one beep and the old level stays.
    void inicializaFala(int velocidade, const std::string& diretorioMensagens);
    void terminaFala();
    // Switches the speech server at run time; `voz` 0 takes SERVFALA/VOZ. False when the
    // new server cannot open: the voice in use before stays.
    bool mudaServidorFala(int velocidade, bool ligado, int tipo, int tom, int taxa, int voz);

    void falaTexto(std::string_view texto);
    void soletra(std::string_view texto);
    void falaLetra(uint8_t c);
    void tocaSom(std::string_view nome);
    // A prompt recording played whole by the second voice (see TocadorOnda::Modo); a
    // missing or broken file plays nothing and leaves a looping sound as it was.
    void tocaOnda(std::string_view nome, TocadorOnda::Modo modo);
    bool existeSom(std::string_view nome);
    void escreveFala(std::string_view texto);
    void clique();
    // A beep; the commands waiting in the key queue are dropped first, typed text stays.
    void bip();
    void tocaDTMF(std::string_view texto);
    void pausaFala(int ms);
    void paraFala();
    bool falando();
    // Waits while anything sounds; a key stops it. With the speech service speaking, whose
    // sound only a message stops, the keys are looked at every 2 ms instead of 10.
    void aguardaSilencio();
    void esperaFala();
    // A key read, the speech stopped, the key said (the 0 of an extended key is not).
    uint8_t leTeclaEco();

    // Numbers, time and date from recorded words.
    void falaExtenso(std::string_view palavras, bool feminino);
    void falaHora(int horas, int minutos);
    void falaData(int dia, int mes, int ano);
    void falaHora();  // the clock's time
    void falaData();  // today's date

    // Starts a program, or opens a document or a web address, in `diretorio`. A command
    // beginning with a double quote names the program inside the quotes and may carry
    // arguments after them; `parametros` is handed over as one argument. Above 32 when
    // started.
    int executaPrograma(std::string_view comando, std::string_view parametros,
                        std::string_view diretorio);
    // Waits until the user is back: the started program took the focus and gave it back,
    // or (where focus is not reported) it has ended.
    void esperaRetorno();
    // Opens a web address or a document with the family's program for its kind (keys
    // "PROG.HTM" and "PROG." + extension of section SONARE; the system's opener when there
    // is none), or starts a program (an .exe or .com) of the folder `pasta`, the text's,
    // in that folder, after the speech has ended. False when nothing could be started.
    bool abreComPrograma(std::string_view nome, const std::filesystem::path& pasta);

    // The abbreviations both voices and the sentence rule read (empty when the own engine's
    // file cannot be read).
    const Abreviaturas& abreviaturas() const { return abreviaturas_; }

    bool servidorAtivo() const { return servidorAtivo_; }
    int tipoServidor() const { return tipoServidor_; }
    int velocidade() const { return nivel_; }
    // The wave player: continuous reading makes it asynchronous.
    TocadorOnda& tocador() { return tocador_; }
    // Tests and tools choose the speech engines.
    void defineFabricaServidores(FabricaServidores fabrica) { fabrica_ = std::move(fabrica); }

    bool falaPontuacao = true;
    bool ecoDigitacao = true;
    // Whether a missing voice bank is reported on the standard error (headless runs and
    // tests keep it quiet).
    bool avisaFaltaVoz = true;

    // The in-memory waves of the click and the beep.
    static std::vector<uint8_t> ondaClique(uint32_t semente);
    static std::vector<uint8_t> ondaBip();

  private:
    class Chamada;
    struct Pausas {
        int ponto = 250, virgula = 150, doisPontos = 200;
    };

    // Opens a document, a folder or a web address with the system's opener; a file that
    // is not there is not opened.
    int abreDocumento(const std::string& alvo, const std::filesystem::path& dir);
    int iniciaDaPasta(std::string_view nome, const std::filesystem::path& pasta);
    void rastro(std::string_view linha);
    std::filesystem::path arquivoSom(std::string_view nome) const;
    void leNivel(int nivel);
    void falhaSintetizador(int codigo);
    void avisaPorServidor(const std::string& texto);
    bool abreServidor(int voz, int taxa, int tom, int tipo);
    void fechaServidor();
    bool soando();
    void esperaFimSom();
    void tocaSaida(std::span<const uint8_t> onda);
    void tocaArquivosPalavras(const std::vector<std::string>& nomes);
    void despejaPalavras(std::vector<uint8_t>& buffer);

    void falaGravada(std::string_view texto);
    void falaNumero(std::string_view& resto);
    void falaFrase(std::string_view& resto);
    void falaSinal(std::string_view& resto, char& anterior, int& repeticoes);
    void falaHifen(std::string_view resto);
    void pontuacao(std::string_view resto);

    SnCrt& crt_;
    DispositivoAudio& audio_;
    TocadorOnda tocador_;
    Sintetizador sintetizador_;
    FabricaServidores fabrica_;
    std::unique_ptr<ServidorFala> servidor_;
    Processos processos_;
    std::ofstream rastro_;
    int profundidade_ = 0;  // operations under way: only the outermost is traced
    std::filesystem::path diretorioInicial_;
    std::string diretorioMensagens_;
    std::string diretorioLetras_ = "c:\\ornato\\som\\letras\\";
    std::string banco_ = "DIFONES2";
    int nivel_ = 3;
    Pausas pausas_;
    Abreviaturas abreviaturas_;
    std::vector<uint8_t> clique_;
    bool servidorAtivo_ = false;
    struct AberturaServidor {
        int voz, taxa, tom, tipo;
    };
    AberturaServidor aberto_{};  // how the active server was opened
    int tipoServidor_ = kServidorSapi4;
    bool falaServidorPendente_ = true;
    bool pedidoParada_ = false;
    bool avisouSemVoz_ = false;
    bool iniciada_ = false;  // speech was started once: a later failing level is refused
};

// '@' expansion of an INI value: while the value begins with '@' or holds "@\", that '@'
// becomes `programas` (the family's program directory).
std::string expandeArroba(std::string valor, const std::string& programas);
