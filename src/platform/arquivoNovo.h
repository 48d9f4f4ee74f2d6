// Creating files where someone else may have been first: every file the program makes is
// new (never a link or a file planted under its name), written whole under a temporary
// name in its folder and only then given its own name, so nobody ever sees half of it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/descritor.h"  // escreveTudo

// Opens `caminho` as a new file for writing: created here, never through a link and never
// over anything already there (errno EEXIST then). The descriptor, or -1.
int criaExclusivo(const std::filesystem::path& caminho, unsigned modo = 0600);

// A new file in a folder, unnamed while it is written where the file system allows it,
// else under a hidden name of its own (".NAME.plumar-" and 12 hex digits, locked while it
// lives). Removed at the end unless it was given its name. Named temporary files that a
// program killed half-way left in the folder are removed when the next one is made there.
class ArquivoNovo {
  public:
    // `nome`: the name the file is meant to get (it names the temporary one). `modo` less
    // the umask.
    ArquivoNovo(const std::filesystem::path& pasta, std::string_view nome, unsigned modo = 0600);
    ~ArquivoNovo();
    ArquivoNovo(ArquivoNovo&& outro) noexcept;
    ArquivoNovo& operator=(ArquivoNovo&&) = delete;
    ArquivoNovo(const ArquivoNovo&) = delete;
    ArquivoNovo& operator=(const ArquivoNovo&) = delete;

    bool aberto() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // False after any failed write (later ones are ignored).
    bool escreve(std::string_view bytes);

    // Flushed to the disk, then named `destino` (in the same folder) only when nothing has
    // that name (else false, errno EEXIST, and the file stays for another name).
    bool nomeia(const std::filesystem::path& destino);
    // The permissions of the file `de`, when there is one.
    void copiaPermissoes(const std::filesystem::path& de);
    // Flushed, then renamed over `destino`: a link there is replaced, never followed.
    bool substitui(const std::filesystem::path& destino);

  private:
    bool prepara();
    bool daNomeTemporario();
    void fecha();

    std::filesystem::path pasta_;
    std::string nome_;
    std::filesystem::path temporario_;  // its hidden name, when it has one
    int fd_ = -1;
    bool falhou_ = false;
    bool sincronizado_ = false;
};

// `conteudo` as the file `destino`, through a new file renamed over it: a failed write
// leaves what was there, and a link of that name is replaced, not written through.
bool gravaArquivoInteiro(const std::filesystem::path& destino, std::string_view conteudo,
                         unsigned modo = 0666);

// Whether `nome` is that of a temporary file of ours (".NAME.plumar-" and 12 hex digits).
bool nomeTemporarioNovo(std::string_view nome);
// A free hidden name beside the file `nome` in `pasta` for its temporary file.
std::filesystem::path nomeTemporarioLivre(const std::filesystem::path& pasta, std::string_view nome);

// The folder is flushed too, so a rename in it survives a crash.
void sincronizaPasta(const std::filesystem::path& pasta);
