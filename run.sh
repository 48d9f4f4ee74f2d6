#!/usr/bin/env bash
# Builds PLUMAR (Release) in its own folder and starts it in the caller's folder with the
# caller's arguments: .../run.sh [/L | /D] [file]. File names are the caller's, relative to
# where the caller is. PLUMAR_CONSTRUCAO names another build folder to use.
set -euo pipefail
fonte=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
construcao=${PLUMAR_CONSTRUCAO:-$fonte/build}
binario=$construcao/plumar
# Everything the editor starts or reads (the family root, voice kit, spelling dictionary,
# docconv, the companion speech server): the same list the install rules use.
alvos=(plumar_completo)

# Help and version need no build when a program exists.
so_consulta() {
    [ $# -ge 1 ] && [ -x "$binario" ] && { [ "$1" = --help ] || [ "$1" = --version ]; }
}

# Ninja's "[n/total]" lines become one line per tenth done, which a screen reader can follow;
# the first step that really builds something says that the build started (unless that was
# said already), and the end says it is done. An up-to-date tree says nothing.
progresso() {
    awk -v anunciado="$1" '
        /^\[[0-9]+\/[0-9]+\]/ && !/Re-checking globbed directories/ {
            if (!anunciado) { print "Compilando o PLUMAR, cerca de 4 minutos..."; anunciado = 1 }
            trabalhou = 1
            split(substr($1, 2), p, "/"); d = int(10 * p[1] / p[2])
            if (d > feito) { feito = d; printf "Compilando: %d%%\n", 10 * d }
            fflush()
        }
        END { if (trabalhou) print "Compilado." }'
}

constroi() {
    cd "$fonte"
    mkdir -p "$construcao"
    local registro=$construcao/construcao.log anunciado=0
    if [ ! -x "$binario" ] || [ ! -f "$construcao/CMakeCache.txt" ]; then
        . tools/pacotes.sh
        instala_pacotes "${PACOTES_PROGRAMA[@]}"
        echo "Compilando o PLUMAR, cerca de 4 minutos..."
        anunciado=1
    fi
    : >"$registro"
    if [ ! -f "$construcao/CMakeCache.txt" ] &&
       ! cmake -S . -B "$construcao" -G Ninja -DCMAKE_BUILD_TYPE=Release \
             -DPLUMAR_TESTS=OFF >>"$registro" 2>&1; then
        falhou "$registro"
    fi
    if ! cmake --build "$construcao" --target "${alvos[@]}" 2>&1 | tee -a "$registro" |
            progresso "$anunciado"; then
        falhou "$registro"
    fi
}

falhou() {
    echo "A construção falhou. O fim do registro ($1):" >&2
    tail -n 30 "$1" >&2
    exit 1
}

if ! so_consulta "$@"; then
    (constroi)
fi
exec "$binario" "$@"
