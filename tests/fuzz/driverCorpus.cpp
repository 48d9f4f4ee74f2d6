// The plain driver of the fuzz targets where libFuzzer is missing: runs the target's entry
// once on each file named on the command line, as libFuzzer does with file arguments.
// Built only into the fuzz binaries (the test binary calls the entries by their own names).
#ifdef PLUMAR_FUZZ_SEM_LIBFUZZER
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dados, size_t tamanho);

int main(int argc, char** argv) {
    int lidos = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream f(argv[i], std::ios::binary);
        if (!f) {
            std::cerr << "cannot read " << argv[i] << "\n";
            return 1;
        }
        std::vector<uint8_t> entrada{std::istreambuf_iterator<char>(f),
                                     std::istreambuf_iterator<char>()};
        LLVMFuzzerTestOneInput(entrada.data(), entrada.size());
        ++lidos;
    }
    std::cout << "executed " << lidos << " inputs\n";
    return 0;
}
#endif
