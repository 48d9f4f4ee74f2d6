#include "platform/registroBibliotecas.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "platform/caminhos.h"

#ifdef PLUMAR_COM_ALSA
#include <alsa/asoundlib.h>
#endif
#ifdef PLUMAR_COM_SDL
#include <SDL.h>
#endif

namespace {

// The log stays open for the run. The libraries' handlers carry no pointer of ours, so the
// descriptor lives here, process-wide, as the handlers themselves do.
int descritorLog() {
    static const int fd = abreRegistro();
    return fd;
}

#ifdef PLUMAR_COM_ALSA
void erroAlsa(const char* arquivo, int linha, const char* funcao, int erro, const char* formato,
              ...) {
    char texto[1024];
    va_list argumentos;
    va_start(argumentos, formato);
    std::vsnprintf(texto, sizeof texto, formato, argumentos);
    va_end(argumentos);
    std::string s = std::string("ALSA lib ") + (arquivo ? arquivo : "") + ":" +
                    std::to_string(linha) + ":(" + (funcao ? funcao : "") + ") " + texto;
    if (erro != 0) s += std::string(": ") + snd_strerror(erro);
    anotaNoLog(s);
}
#endif

#ifdef PLUMAR_COM_SDL
void logSdl(void*, int, SDL_LogPriority, const char* mensagem) {
    anotaNoLog(std::string("SDL: ") + (mensagem ? mensagem : ""));
}
#endif

}  // namespace

std::filesystem::path arquivoLog() { return diretorioWindows() / "plumar.log"; }

int abreRegistro() {
    std::error_code ec;
    std::filesystem::create_directories(arquivoLog().parent_path(), ec);
    const int fd = open(arquivoLog().c_str(),
                        O_WRONLY | O_CREAT | O_APPEND | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
    return fd >= 0 ? fd : open("/dev/null", O_WRONLY | O_CLOEXEC);
}

void registraBibliotecasNoLog() {
#ifdef PLUMAR_COM_ALSA
    snd_lib_error_set_handler(erroAlsa);
#endif
#ifdef PLUMAR_COM_SDL
    SDL_LogSetOutputFunction(logSdl, nullptr);
#endif
}

void anotaNoLog(std::string_view linha) {
    const int fd = descritorLog();
    if (fd < 0) return;
    std::string s(linha);
    s += '\n';
    // One write a line, so lines of several threads never mix.
    [[maybe_unused]] const ssize_t escrito = write(fd, s.data(), s.size());
}

void desviaErrosParaLog() {
    if (!isatty(STDERR_FILENO)) return;
    const int fd = abreRegistro();
    if (fd < 0) return;
    dup2(fd, STDERR_FILENO);
    close(fd);
}
