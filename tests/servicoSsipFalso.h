// A fake of the system's speech service on a Unix socket, for the tests of its clients: it
// answers the commands as the service does, keeps every line it received, and can be told
// to fall silent, answer nonsense or close the connection at a given command.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

enum class Falha { Silencio, Lixo, Fecha };

// Answers the commands as the service does; `falhas` maps a command's beginning to a fault.
class ServicoFalso {
  public:
    ServicoFalso(const std::filesystem::path& socket, std::string vozes,
                 std::map<std::string, Falha> falhas = {})
        : vozes_(std::move(vozes)), falhas_(std::move(falhas)) {
        std::filesystem::remove(socket);  // left by a service before this one
        escuta_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::strncpy(a.sun_path, socket.c_str(), sizeof a.sun_path - 1);
        bind(escuta_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(escuta_, 1);
        fio_ = std::thread([this] { atende(); });
    }
    ~ServicoFalso() {
        shutdown(escuta_, SHUT_RDWR);
        if (cliente_ >= 0) shutdown(cliente_, SHUT_RDWR);
        if (fio_.joinable()) fio_.join();
        close(escuta_);
        if (cliente_ >= 0) close(cliente_);
    }
    // Every line received (long ones cut to 40 characters), once the client has gone.
    std::vector<std::string> linhasAteOFim() {
        fio_.join();
        return linhas_;
    }
    void envia(const std::string& s) { send(cliente_, s.data(), s.size(), MSG_NOSIGNAL); }
    // Closes the connection, and the door: a client that never came is not waited for.
    void fecha() {
        shutdown(cliente_, SHUT_RDWR);
        shutdown(escuta_, SHUT_RDWR);
    }

  private:
    void atende() {
        cliente_ = accept(escuta_, nullptr, nullptr);
        std::string buffer, linha;
        bool dados = false;
        char b[65536];
        for (ssize_t n; cliente_ >= 0 && (n = recv(cliente_, b, sizeof b, 0)) > 0;) {
            buffer.append(b, static_cast<size_t>(n));
            for (size_t fim; (fim = buffer.find("\r\n")) != std::string::npos;) {
                linha = buffer.substr(0, fim);
                buffer.erase(0, fim + 2);
                linhas_.push_back(linha.size() > 40 ? linha.substr(0, 40) + "..." : linha);
                if (dados) {
                    if (linha == ".") envia("225-21\r\n225 OK MESSAGE QUEUED\r\n");
                    dados = linha != ".";
                } else if (!responde(linha, dados)) {
                    return;
                }
            }
        }
    }
    bool responde(const std::string& c, bool& dados) {
        for (const auto& [inicio, falha] : falhas_) {
            if (c.rfind(inicio, 0) != 0) continue;
            if (falha == Falha::Lixo) envia("xyz nonsense\r\n");
            if (falha == Falha::Fecha) fecha();
            return falha == Falha::Silencio;
        }
        if (c.rfind("LIST SYNTHESIS_VOICES", 0) == 0) envia(vozes_ + "249 OK VOICE LIST SENT\r\n");
        else if (c == "SPEAK") dados = true, envia("230 OK RECEIVING DATA\r\n");
        else if (c == "CANCEL SELF") envia("210 OK CANCELED\r\n");
        else if (c == "QUIT") return envia("231 HAPPY HACKING\r\n"), false;
        else envia("200 OK\r\n");
        return true;
    }

    std::string vozes_;
    std::map<std::string, Falha> falhas_;
    int escuta_ = -1, cliente_ = -1;
    std::vector<std::string> linhas_;
    std::thread fio_;
};
