// The desktop hands a file over as a file:// address: the editor opens the local path it
// names, and refuses another machine's file rather than creating a file of that name.
#include "programa/linhaComando.h"

#include <gtest/gtest.h>

namespace {

TEST(EnderecoArquivo, FileAddressesBecomeTheLocalPathTheyNameOrAreRefused) {
    using V = std::vector<std::string>;
    const struct {
        V args, resto;
        bool recusado = false;  // another machine's file: the error names the address
    } casos[] = {
        {{"file:///home/ana/carta%20nova.txt"}, {"/home/ana/carta nova.txt"}},
        // Any case of the scheme and of localhost; escaped UTF-8 bytes come back as they were.
        {{"/L", "FILE://LocalHost/tmp/%C3%a1gua.txt"}, {"/L", "/tmp/\xC3\xA1gua.txt"}},
        // A query or fragment is not part of the file's name.
        {{"file:///tmp/a.txt?x=1#y"}, {"/tmp/a.txt"}},
        {{"file:///tmp/b.txt#y?x"}, {"/tmp/b.txt"}},
        // Broken escapes, and one that would put a NUL into the name, stay as written.
        {{"file:///tmp/100%.txt%4"}, {"/tmp/100%.txt%4"}},
        {{"file:///tmp/%zz%00x"}, {"/tmp/%zz%00x"}},
        // Names that are not file addresses are left alone.
        {{"carta%20.txt", "http://x/y"}, {"carta%20.txt", "http://x/y"}},
        {{"file://servidor/home/ana/carta.txt"}, {"file://servidor/home/ana/carta.txt"}, true},
        {{"file://"}, {"file://"}, true},
    };
    for (const auto& c : casos) {
        const OpcoesLinux o = separaOpcoes(c.args);
        EXPECT_EQ(o.resto, c.resto) << c.args.back();
        EXPECT_EQ(o.erro.empty(), !c.recusado) << c.args.back() << ": " << o.erro;
        if (c.recusado) EXPECT_NE(o.erro.find(c.args.back()), std::string::npos) << o.erro;
    }
}

}  // namespace
