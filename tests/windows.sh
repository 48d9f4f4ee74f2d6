#!/usr/bin/env bash
# The Windows build, cross-compiled with MinGW-w64, and its tests under wine: the platform
# tests shared with Linux, and the acceptance cases run by the Linux build's harness with
# plumar.exe in place of plumar (the cases of tests/acceptance/windows_pula.txt are skipped
# with the reason given there); then one letter edited by both builds, whose speech, saved bytes
# and recording must be the same. Needs the Linux build with its tests in build/ (./test.sh makes
# it): its voice kit and dictionary are laid out in the Windows family root.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/pacotes.sh
instala_pacotes "${PACOTES_WINDOWS[@]}"
command -v ccache >/dev/null && PLUMAR_CCACHE=1
jobs=${PLUMAR_JOBS:-$(nproc 2>/dev/null || echo 2)}
dir=build-windows

if [ ! -x build/plumar_testes ]; then
    echo "Falta a construção Linux com testes (build/): rode ./test.sh antes." >&2
    exit 1
fi

cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DPLUMAR_TESTS=ON -DPLUMAR_RAIZ_LINUX="$PWD/build/sonare" \
      ${PLUMAR_CCACHE:+-DCMAKE_CXX_COMPILER_LAUNCHER=ccache} >/dev/null
cmake --build "$dir" -j "$jobs"

# A scratch wine prefix of this build tree, made once; no wine message reaches the output.
export WINEPREFIX="$PWD/$dir/prefixo" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || wine wineboot -i >/dev/null 2>&1

# A private sound server with a null sink, so that the sound device's test plays through
# wine's WASAPI as on a Windows machine with a sound card; none is left running.
som="$PWD/$dir/pulse"
rm -rf "$som" && mkdir -p "$som"
export PULSE_RUNTIME_PATH="$som" PULSE_STATE_PATH="$som" PULSE_SERVER="unix:$som/native"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --log-target=file:"$som/log" \
    "--load=module-null-sink sink_name=testes rate=48000" \
    "--load=module-native-protocol-unix auth-anonymous=1 socket=$som/native" &
pid_som=$!
trap 'kill $pid_som 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -S "$som/native" ] && break; sleep 0.1; done

SONARE_WINDIR="$PWD/$dir/windir-testes" ctest --test-dir "$dir" --output-on-failure

PLUMAR_ACEITACAO_BINARIO="$PWD/$dir/sonare/plumar.exe" PLUMAR_ACEITACAO_EMULADOR=wine \
PLUMAR_ACEITACAO_PULA="$PWD/tests/acceptance/windows_pula.txt" \
    build/plumar_testes --gtest_filter='Casos/Aceitacao.*' --gtest_brief=1

# The same keys on the same letter give the same speech trace, saved bytes and recording,
# sample for sample, on both systems, in the recorded voice and in the own engine.
caso="$PWD/tests/windows/mesma_gravacao"
for voz in gravada proprio; do
    for sistema in linux windows; do
        d="$PWD/$dir/mesma_gravacao/$voz/$sistema"
        rm -rf "$d" && mkdir -p "$d" && cp "$caso/carta.txt" "$d/"
        [ "$voz" = proprio ] && cp "$caso/SONARE.INI.proprio" "$d/SONARE.INI"
        programa="$PWD/build/plumar"
        [ "$sistema" = windows ] && programa="wine $PWD/$dir/sonare/plumar.exe"
        (cd "$d" && SONARE_WINDIR="$d" XDG_STATE_HOME="$d" $programa --keys="$caso/teclas.txt" \
            --trace=rastro.txt --audio-out=som.wav carta.txt)
    done
    for f in rastro.txt carta.txt som.wav; do
        if ! cmp "$dir/mesma_gravacao/$voz/linux/$f" "$dir/mesma_gravacao/$voz/windows/$f"; then
            echo "mesma_gravacao ($voz): $f difere entre Linux e Windows" >&2
            exit 1
        fi
    done
    echo "mesma_gravacao ($voz): rastro, texto e gravação iguais nos dois sistemas"
done
