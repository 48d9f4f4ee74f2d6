#!/usr/bin/env bash
# What run.sh builds reaches every part an installation holds, and the Debian package as a
# user gets it: made from BUILD_FOLDER (a Release build), unpacked into a scratch root, and
# the installed editor run from another folder with the build tree's family root out of
# reach, on one acceptance case; then lintian (no errors), the desktop entry's and
# metainfo's validators, and the manual pages rendered and true to --help. Usage:
# pacote_test.sh BUILD_FOLDER (built with the tests, whose acceptance harness runs the case).
set -euo pipefail
construcao=$(cd "$1" && pwd)
falha() { echo "FALHOU: $*" >&2; exit 1; }

# The build tree's root is hidden while the installed editor runs; a run that was killed
# left it hidden, and it is put back first.
raiz=$construcao/sonare
escondida=$construcao/sonare.escondida
if [ -d "$escondida" ] && [ ! -e "$raiz" ]; then mv "$escondida" "$raiz"; fi
pasta=$(mktemp -d)
trap 'rm -rf "$pasta"; if [ -d "$escondida" ] && [ ! -e "$raiz" ]; then mv "$escondida" "$raiz"; fi' EXIT

# What run.sh builds is what the package installs: its targets reach every program and data
# part the editor starts or reads.
alvos=$(sed -n 's/^alvos=(\(.*\))$/\1/p' "$(dirname "$0")/../run.sh")
partes=$(for a in $alvos; do echo "$a"; ninja -C "$construcao" -t query "$a" | sed -n '/input:/,/outputs:/p'; done)
for parte in plumar sonare-servidor-fala sonare/docconv raiz_familia kit_voz dicionario; do
    grep -qx " *$parte" <<<"$partes" || falha "run.sh does not build $parte"
done

cmake --build "$construcao" --target pacote >"$pasta/pacote.log" 2>&1 ||
    { tail -n 30 "$pasta/pacote.log" >&2; falha "the package was not made"; }
versao=$("$construcao/plumar" --version | sed 's/^PLUMAR //')
deb=$construcao/pacote/plumar_${versao}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || falha "no $deb"
[ "$(dpkg-deb -f "$deb" Version)" = "$versao" ] || falha "the package's version is not --version's"

instalado=$pasta/raiz
dpkg -x "$deb" "$instalado"
for f in usr/bin/plumar usr/bin/docconv usr/bin/sonare-servidor-fala \
         usr/share/sonare/SONARE.INI usr/share/sonare/diciona.dic usr/share/sonare/diciona.sug \
         usr/share/sonare/som/difones/DIFONES2.IND usr/share/sonare/brisatts/portug.dfn \
         usr/share/man/man1/plumar.1.gz usr/share/doc/plumar/copyright; do
    [ -e "$instalado/$f" ] || falha "the package lacks $f"
done

# The acceptance case that reads every part of the family root, run by the acceptance
# harness with the installed editor, from another folder, and nothing of the build tree's
# root in reach; then a first run, which copies the installed default SONARE.INI.
mv "$raiz" "$escondida"
(cd "$pasta" && env -u PLUMAR_ATUALIZA_ACEITACAO PLUMAR_ACEITACAO_BINARIO="$instalado/usr/bin/plumar" \
     "$construcao/plumar_testes" \
     --gtest_filter='Casos/Aceitacao.RunMatchesExpectedTraceScreenAndFile/raiz_familia') \
     >"$pasta/caso.log" 2>&1 && grep -q '^\[  PASSED  \] 1 test' "$pasta/caso.log" ||
    { cat "$pasta/caso.log" >&2; falha "the installed editor did not run the case as the build tree's does"; }
printf '{Alt+F4}' >"$pasta/sai.txt"
(cd "$pasta" && env -u SONARE_ROOT SONARE_WINDIR="$pasta/novo" XDG_STATE_HOME="$pasta/estado" \
     "$instalado/usr/bin/plumar" --keys=sai.txt </dev/null) || falha "a first run failed"
cmp -s "$pasta/novo/SONARE.INI" "$instalado/usr/share/sonare/SONARE.INI" ||
    falha "the default SONARE.INI was not copied from the installed root"
mv "$escondida" "$raiz"

# lintian: errors fail, warnings are shown.
lintian --fail-on error --tag-display-limit 0 "$deb" >"$pasta/lintian.txt" 2>&1 ||
    { cat "$pasta/lintian.txt" >&2; falha "lintian found errors"; }
sed 's/^/lintian: /' "$pasta/lintian.txt"
desktop-file-validate "$instalado"/usr/share/applications/*.desktop || falha "desktop entry"
appstreamcli validate --no-net "$instalado"/usr/share/metainfo/*.metainfo.xml >/dev/null ||
    falha "metainfo"

# Every manual page renders without a warning, and plumar's lists the options --help does.
for pagina in "$instalado"/usr/share/man/man1/*.1.gz; do
    avisos=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$pagina" 2>&1 >/dev/null)
    [ -z "$avisos" ] || falha "$pagina: $avisos"
done
opcoes() { grep -o -- '--[a-z][a-z-]*' | sort -u; }
pagina=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$instalado/usr/share/man/man1/plumar.1.gz" 2>/dev/null | opcoes)
[ "$pagina" = "$("$instalado/usr/bin/plumar" --help | opcoes)" ] ||
    falha "the manual page's options are not --help's: $(echo $pagina)"
echo "pacote: ok ($(basename "$deb"))"
