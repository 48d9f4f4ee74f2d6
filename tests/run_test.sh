#!/usr/bin/env bash
# run.sh started from another folder: the files named are the caller's, read and saved in the
# caller's folder, never in the source folder. Usage: run_test.sh BUILD_FOLDER (up to date, so
# run.sh builds nothing and starts its program at once).
set -euo pipefail
fonte=$(cd "$(dirname "$0")/.." && pwd)
export PLUMAR_CONSTRUCAO=$1
pasta=$(mktemp -d)
trap 'rm -rf "$pasta"' EXIT
mkdir -p "$pasta/documentos" "$pasta/win"
export SONARE_WINDIR=$pasta/win
unset SONARE_ROOT DISPLAY WAYLAND_DISPLAY
falha() { echo "FALHOU: $*" >&2; exit 1; }

cd "$pasta/documentos"
printf 'primeira linha\r\n' >lida.txt
printf '{End}!{Ctrl+X}' >../teclas-lida
printf 'oi{Ctrl+X}' >../teclas-nova
saida=$("$fonte/run.sh" --keys=../teclas-lida --trace=../rastro-lida lida.txt </dev/null)
[ -z "$saida" ] || falha "run.sh built or said something: $saida"
grep -qx 'mensagem EDARQCRG' ../rastro-lida || falha "the caller's lida.txt was not loaded"
[ "$(cat lida.txt)" = $'primeira linha!\r' ] || falha "lida.txt not saved in the caller's folder"

"$fonte/run.sh" --keys=../teclas-nova --trace=../rastro-nova carta-run-test.txt </dev/null >/dev/null
grep -qx 'mensagem EDARQNOV' ../rastro-nova || falha "carta-run-test.txt not announced as new"
# A new file is UTF-8 with LF line ends by the shipped configuration.
[ "$(cat carta-run-test.txt)" = 'oi' ] || falha "carta-run-test.txt not created in the caller's folder"
[ ! -e "$fonte/carta-run-test.txt" ] || falha "a file was saved in the source folder"
[ ! -e "$PLUMAR_CONSTRUCAO/carta-run-test.txt" ] || falha "a file was saved in the build folder"

"$fonte/run.sh" --version </dev/null | grep -q . || falha "--version said nothing"
echo "run.sh: ok"
