// The desktop hands a file over as a file:// address: the editor opens the local path it
// names, and refuses another machine's file rather than creating a file of that name.
#include "programa/linhaComando.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> resto(const std::vector<std::string>& args, std::string* erro = nullptr) {
    OpcoesLinux o = separaOpcoes(args);
    if (erro) *erro = o.erro;
    return o.resto;
}

TEST(EnderecoArquivo, FileAddressesBecomeTheLocalPathTheyName) {
    using V = std::vector<std::string>;
    EXPECT_EQ(resto({"file:///home/ana/carta%20nova.txt"}), V{"/home/ana/carta nova.txt"});
    // Any case of the scheme and of localhost; escaped UTF-8 bytes come back as they were.
    EXPECT_EQ(resto({"/L", "FILE://LocalHost/tmp/%C3%a1gua.txt"}), (V{"/L", "/tmp/\xC3\xA1gua.txt"}));
    // A query or fragment is not part of the file's name.
    EXPECT_EQ(resto({"file:///tmp/a.txt?x=1#y"}), V{"/tmp/a.txt"});
    // Broken escapes, and one that would put a NUL into the name, stay as written.
    EXPECT_EQ(resto({"file:///tmp/100%.txt%4"}), V{"/tmp/100%.txt%4"});
    EXPECT_EQ(resto({"file:///tmp/%zz%00x"}), V{"/tmp/%zz%00x"});
    // Names that are not file addresses are left alone.
    EXPECT_EQ(resto({"carta%20.txt", "http://x/y"}), (V{"carta%20.txt", "http://x/y"}));
}

TEST(EnderecoArquivo, AnotherMachinesFileIsRefused) {
    std::string erro;
    resto({"file://servidor/home/ana/carta.txt"}, &erro);
    EXPECT_NE(erro.find("file://servidor/home/ana/carta.txt"), std::string::npos);
    resto({"file://"}, &erro);
    EXPECT_FALSE(erro.empty());
    resto({"file:///x"}, &erro);
    EXPECT_TRUE(erro.empty());
}

}  // namespace
