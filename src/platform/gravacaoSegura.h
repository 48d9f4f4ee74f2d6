// Saving a file so that a failed save never leaves a damaged one behind, and the copies
// that saves in place keep in the state folder. One implementation per system (linux/,
// windows/); the parts both share are in gravacaoSegura.cpp.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/arquivoNovo.h"

// Writing a file without ever damaging the one on disk: the bytes go to a new temporary
// file in the same folder (unnamed where the file system allows it), which is flushed to
// the disk, given the old file's permissions, owner and group (where the user may keep
// them) and only then renamed over it. Any error leaves the old file as it was and the
// temporary file removed. A file with several names (hard links), of another user, or in
// a folder that takes no new file is written in place instead, after a copy of it is
// flushed to the state folder; any error puts that copy back, and a save killed half-way
// leaves it there (copiasAntes) until the file is saved again. A name that is a device
// (not a regular file) is written as it is: there is nothing there to lose.
class GravacaoSegura {
  public:
    // A file that did not exist gets `modoNovo` (less the user's umask).
    explicit GravacaoSegura(const std::filesystem::path& destino, unsigned modoNovo = 0666);
    ~GravacaoSegura();
    GravacaoSegura(GravacaoSegura&& outra) noexcept;
    GravacaoSegura& operator=(GravacaoSegura&&) = delete;
    GravacaoSegura(const GravacaoSegura&) = delete;
    GravacaoSegura& operator=(const GravacaoSegura&) = delete;

    // False when the file could not be created (a folder, a folder that does not exist or
    // cannot be written, a read-only file, a name too long).
    bool criada() const { return fd() >= 0; }
    // Buffered; after an error the rest is ignored and conclui() fails.
    void escreve(std::string_view bytes);
    bool falhou() const { return falhou_; }
    // Flushes, closes and puts the file in place; false on any error.
    bool conclui();

  private:
    enum class Modo { Substitui, NoLugar, Dispositivo };

    int fd() const { return novo_ ? novo_->fd() : fd_; }
    bool esvazia();
    void abreNoLugar(const std::filesystem::path& alvo);
    bool concluiNoLugar();
    void restaura();
    void descarta();
    void esqueceCopiasAntes();
    // The file a save of `destino` writes: through a link the file it points to (the link
    // stays a link).
    static std::filesystem::path alvoDe(const std::filesystem::path& destino);
    // The name of the copy of `alvo` kept while it is written in place, its random part
    // as kSorteioAntes 'X's for the system to fill in.
    static std::filesystem::path modeloCopiaAntes(const std::filesystem::path& alvo);

    std::filesystem::path destino_;
    std::filesystem::path copiaAntes_;  // in place: the file as it was, in the state folder
    std::string antes_;                 // the same, in memory
    std::optional<ArquivoNovo> novo_;   // the new file that replaces it
    int fd_ = -1;                       // in place, or the device
    Modo modo_ = Modo::Substitui;
    bool falhou_ = false;
    size_t escritos_ = 0;
    std::string buffer_;
};

// The name by which the state folder keeps the copies of the file `caminho` (its name, cut,
// and a hash of its whole path, so that files of one name in two folders keep apart).
std::string baseNoEstado(const std::filesystem::path& caminho);
// The copies that saves in place of `arquivo` killed half-way left in the state folder:
// the file as it was before each.
std::vector<std::filesystem::path> copiasAntes(const std::filesystem::path& arquivo);
