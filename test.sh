#!/usr/bin/env bash
# Builds PLUMAR and runs every test: once in the Release build (gcc), whose Debian package is
# then checked as installed and whose Windows twin (MinGW-w64) runs its tests under wine, once under AddressSanitizer and UndefinedBehaviorSanitizer built
# with clang, which is also the build of the fuzz targets: each runs for a short while from
# its corpus.
set -euo pipefail
cd "$(dirname "$0")"
. tools/pacotes.sh
instala_pacotes "${PACOTES_PROGRAMA[@]}" "${PACOTES_TESTES[@]}"
jobs=$(nproc 2>/dev/null || echo 2)

construi() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
}

# The tests must not touch the user's own configuration.
testa() {
    local dir=$1; shift
    SONARE_WINDIR="$PWD/$dir/windir-testes" ctest --test-dir "$dir" --output-on-failure -j "$jobs" "$@"
}

construi build -DCMAKE_BUILD_TYPE=Release -DPLUMAR_TESTS=ON  # run.sh may have configured it without tests
testa build
# The Debian package unpacked into a scratch root and its editor run there, with the build
# tree's family root hidden: after the suite, which reads that root.
tests/pacote_test.sh build
# The Windows program, cross-compiled beside this build, and its tests and acceptance cases
# under wine (some six minutes on 2 cores from nothing).
PLUMAR_JOBS=$jobs tests/windows.sh

# PLUMAR_FUZZ: a clang that cannot build the fuzz targets fails here, not silently.
construi build-asan -DCMAKE_BUILD_TYPE=Debug -DPLUMAR_SANITIZE=ON -DCMAKE_CXX_COMPILER=clang++ \
    -DPLUMAR_FUZZ=ON
# The display, font and sound libraries behind the window keep memory until the process
# ends, some of it where no stack can be read: their tests run without the leak check,
# everything else with it.
janela='FrontEndJanela|AudioSdl'
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" testa build-asan -E "$janela"
ASAN_OPTIONS=detect_leaks=0 testa build-asan -R "$janela"
