# Installs the Debian packages named in the arguments that are not installed yet.
# Sourced by run.sh and test.sh.
instala_pacotes() {
    local faltam=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || faltam+=("$p")
    done
    [ ${#faltam[@]} -eq 0 ] && return 0
    echo "Instalando pacotes: ${faltam[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
            echo "Faltam pacotes (${faltam[*]}) e é preciso ser root para instalá-los." >&2
            return 1
        fi
    fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq >/dev/null || true
    $sudo apt-get install -y -qq "${faltam[@]}" >/dev/null
}

PACOTES_PROGRAMA=(cmake ninja-build g++ pkg-config libsdl2-dev libsdl2-ttf-dev libfontconfig-dev
                  wbrazilian hunspell-pt-br
                  espeak-ng libespeak-ng-dev libspeechd-dev libasound2-dev libpulse-dev
                  fontconfig fonts-dejavu-core catdoc unrtf libbrlapi-dev)
# Only for the benches, installed by hand: a real sound server (build/plumar_bench_som), and bc
# and awk (mawk), which the math mode's bench runs beside it.
PACOTES_BANCADA=(pulseaudio pulseaudio-utils libpulse-dev bc mawk)
# What CPack needs to make the Debian package: dpkg-shlibdeps (dpkg-dev) and file.
PACOTES_PACOTE=(dpkg-dev file)
# brltty: the braille daemon, whose virtual display driver the braille tests read;
# pulseaudio: a private sound server the sound stream's test plays to. The package's checks:
# lintian, the desktop entry's and metainfo's validators, man.
PACOTES_TESTES=(googletest libgtest-dev xvfb xauth clang libclang-rt-14-dev brltty pulseaudio
                "${PACOTES_PACOTE[@]}" lintian desktop-file-utils appstream man-db)
# The Windows build (tests/windows.sh): the MinGW-w64 cross compiler and wine to run it
# (wine brings the wine and wineserver commands, wine64 the 64-bit loader), and a sound
# server for wine's sound device to play to.
PACOTES_WINDOWS=(g++-mingw-w64-x86-64-posix wine wine64 googletest pulseaudio)
