#!/usr/bin/env bash
# Makes the Debian package, build/pacote/plumar_VERSION_ARCH.deb, in run.sh's build folder
# (PLUMAR_CONSTRUCAO names another), installing first the Debian packages it needs.
set -euo pipefail
fonte=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
construcao=${PLUMAR_CONSTRUCAO:-$fonte/build}
cd "$fonte"
. tools/pacotes.sh
instala_pacotes "${PACOTES_PROGRAMA[@]}" "${PACOTES_PACOTE[@]}"
if [ ! -f "$construcao/CMakeCache.txt" ]; then
    cmake -S . -B "$construcao" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPLUMAR_TESTS=OFF >/dev/null
elif ! grep -qx 'CMAKE_BUILD_TYPE:STRING=Release' "$construcao/CMakeCache.txt"; then
    echo "$construcao não é uma construção Release: o pacote sairia lento." >&2
    exit 1
fi
cmake --build "$construcao" --target pacote
ls "$construcao"/pacote/plumar_*.deb
