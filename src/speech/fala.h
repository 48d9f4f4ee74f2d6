// The speech front end: every sound the editor makes goes through here. It decides how
// a text is voiced and keeps the speech trace: one line per operation called from the
// rest of the program (calls made inside speech are not traced).
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "console/SnCrt.h"
#include "platform/audio.h"

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

    void inicializaFala(int velocidade, const std::string& diretorioMensagens);
    void terminaFala();
    void mudaServidorFala(int velocidade, bool ligado, int tipo, int tom, int taxa, int voz);

    void falaTexto(std::string_view texto);
    void soletra(std::string_view texto);
    void falaLetra(uint8_t c);
    void tocaSom(std::string_view nome);
    bool existeSom(std::string_view nome);
    void escreveFala(std::string_view texto);
    void clique();
    void bip();
    void tocaDTMF(std::string_view texto);
    void pausaFala(int ms);
    void paraFala();
    bool falando();
    void esperaFala();
    uint8_t leTeclaEco();
    void falaHora();
    void falaData();

    // Starting outside programs through the system.
    int executaPrograma(std::string_view comando, std::string_view parametros,
                        std::string_view diretorio);
    // Opens a web address, a program or a document with the family's program for its
    // kind (keys "PROG.HTM" and "PROG." + extension of section SONARE; the system's
    // opener when there is none), in the current directory, after the speech has ended.
    // False when nothing could be started.
    bool abreComPrograma(std::string_view nome);

    bool servidorAtivo() const { return servidorAtivo_; }
    bool falaPontuacao = true;
    bool ecoDigitacao = true;

    // The in-memory waves of the click and the beep.
    static std::vector<uint8_t> ondaClique(uint32_t semente);
    static std::vector<uint8_t> ondaBip();

private:
    void rastro(std::string_view linha);
    std::filesystem::path arquivoSom(std::string_view nome) const;

    SnCrt& crt_;
    DispositivoAudio& audio_;
    std::ofstream rastro_;
    std::filesystem::path diretorioInicial_;
    std::string diretorioMensagens_;
    std::string diretorioLetras_;
    std::vector<uint8_t> clique_;
    bool servidorAtivo_ = false;
    bool soando_ = false;
};

// '@' expansion of an INI value: while the value begins with '@' or holds "@\", that '@'
// becomes `programas` (the family's program directory).
std::string expandeArroba(std::string valor, const std::string& programas);
