// Options and configuration: the editor's options of section PLUMAR, read at start-up,
// changed one at a time by the toggles and all together in the configuration panel.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/editor.h"

// An on/off option of section PLUMAR. The start-up and the panel both read it through
// `leOpcaoPlumar`, so a missing key means the same to both.
struct OpcaoPlumar {
    std::string_view chave;
    bool EdVars::*opcao;
    bool padrao;            // its value when the key is missing or empty
    bool maiusculas = false;  // the stored value is upper-cased before it is decided
};

inline constexpr OpcaoPlumar kOpcoesPlumar[] = {
    {"ENTERINSLINHA", &EdVars::enterInsereLinha, false},
    {"QUEBRARLINHAS", &EdVars::quebraLinhas, true},
    {"FALARPONTUACAO", &EdVars::falaPontuacao, true},
    {"FALAESPACOS", &EdVars::falaEspacos, false},
    {"FALAAUTOMATICA", &EdVars::falaAutomatica, false},
    {"ESCREVEAPENASTEXTO", &EdVars::escreveApenasTexto, false},
    {"DICIONARIOATIVADO", &EdVars::dicionarioAtivo, true, true},
};

// The option as stored, decided on its first character as it stands: "S" turns on an
// option that is off by default, "N" turns off one that is on.
bool leOpcaoPlumar(Editor& e, const OpcaoPlumar& opcao);
// The entry of `chave` in kOpcoesPlumar (the key must be one of them).
const OpcaoPlumar& opcaoPlumar(std::string_view chave);
// How formatting is spoken, from a stored or typed value: its first non-blank character
// upper-cased when it is B, F, M or N; N otherwise.
char letraModoFormatacao(std::string_view valor);
// The speech speed as the start-up takes it: `plumar` (the value of PLUMAR/VELOCIDADE),
// or TRADUTOR/VELOCIDADE when that is empty or "0"; 0 when not a number.
int velocidadeFala(Editor& e, std::string_view plumar);
int velocidadeFala(Editor& e);

// The speech-server settings of section PLUMAR, each falling back as the start-up has it.
struct ConfiguracaoSapi {
    int numero = 1;  // NUMEROSAPI, else SERVFALA/VOZ, else 1
    int tipo = 4;    // TIPOSAPI, else SERVFALA/TIPOSAPI, else 4
    int taxa = 0;    // VELOCIDADESAPI
    int tom = 0;     // TONALIDADESAPI
};
ConfiguracaoSapi leConfiguracaoSapi(Editor& e);
// Switches the speech engine as a SAPIATIVADO value says: one beginning with "S" (any
// case) opens the server of `c`, any other closes it. A blank one leaves the choice to
// TRADUTOR/SAPI, which starting speech obeys: with `reinicia` speech starts again.
void ligaServidorConfigurado(Editor& e, std::string_view sapiAtivado, int velocidade,
                             const ConfiguracaoSapi& c, bool reinicia);

// Ctrl+F4: every option in one form, applied, written back to SONARE.INI, and the speech
// engine switched to the result.
void painelConfiguracao(Editor& e);
// F9 I: the configuration family.
void familiaConfiguracao(Editor& e);
// The toggles; each says what it did.
void alternaEnterInsere(Editor& e);
void alternaSemFala(Editor& e);
void alternaQuebra(Editor& e);
void alternaEco(Editor& e);
void alternaEspacos(Editor& e);
// Asks the speed and restarts speech with it.
void escolheVelocidade(Editor& e);
// Reads one key with echo: a digit restarts speech at that speed (1 to 5; below "1" the
// configured speed, anything else 3); Esc, Enter and extended keys change nothing.
void leVelocidade(Editor& e);

// Alt+0: back to the family's own voice (recorded speech and the built-in synthesizer).
void vozPropria(Editor& e);
// Alt+1..3: the speech server voice presets VOZ1..VOZ3 of section SAPIUTIL.
void vozSapi(Editor& e, int preset);
// A preset's four numbers, voice, rate, pitch and engine type, separated by blanks, each
// with an optional leading "-"; reading stops at any other character, and the numbers not
// read are 0.
std::array<int, 4> lePresetVoz(std::string_view texto);
