#!/usr/bin/env bash
# Builds PLUMAR (Release) and starts it with the arguments given: ./run.sh [/L | /D] [file]
set -euo pipefail
cd "$(dirname "$0")"
. tools/pacotes.sh
instala_pacotes "${PACOTES_PROGRAMA[@]}"
mkdir -p build
if ! { cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLUMAR_TESTS=OFF &&
       cmake --build build --target plumar raiz_familia kit_voz; } >build/construcao.log 2>&1; then
    cat build/construcao.log >&2
    echo "A construção falhou." >&2
    exit 1
fi
exec build/plumar "$@"
