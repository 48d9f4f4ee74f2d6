#!/usr/bin/env bash
# Builds PLUMAR and runs every test: once in the Release build, once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
. tools/pacotes.sh
instala_pacotes "${PACOTES_PROGRAMA[@]}" "${PACOTES_TESTES[@]}"
jobs=$(nproc 2>/dev/null || echo 2)

roda() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    # The tests must not touch the user's own configuration.
    SONARE_WINDIR="$PWD/$dir/windir-testes" ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

roda build -DCMAKE_BUILD_TYPE=Release
roda build-asan -DCMAKE_BUILD_TYPE=Debug -DPLUMAR_SANITIZE=ON
