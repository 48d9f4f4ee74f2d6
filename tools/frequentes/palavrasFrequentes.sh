#!/bin/sh
# Writes the most frequent words of a Brazilian Portuguese prose text, one UTF-8 word a
# line, most frequent first (ties in alphabetical order), for the pronunciation bench.
#
#   tools/frequentes/palavrasFrequentes.sh [TEXTO [N]] > bench/palavrasFrequentes.txt
#
# TEXTO defaults to the anecdotes, jokes and sayings of Debian's fortunes-br package
# (/usr/share/games/fortunes/brasil, UTF-8, about 44,000 words of everyday Brazilian prose);
# N defaults to 2000. Words are runs of letters (a hyphen parts them, as in "atirá-lo"),
# compared in lower case; a word never written in lower case (a name) is left out, and so is
# one missing from the Brazilian word list of wbrazilian (/usr/share/dict/brazilian): the
# texts hold English words and words written without their accents ("conclusao").
set -eu
texto=${1:-/usr/share/games/fortunes/brasil}
n=${2:-2000}
lista=/usr/share/dict/brazilian
for f in "$texto" "$lista"; do
    if [ ! -r "$f" ]; then
        echo "não consigo ler $f (apt-get install fortunes-br wbrazilian)" >&2
        exit 1
    fi
done
tmp=$(mktemp)
dic=$(mktemp)
trap 'rm -f "$tmp" "$dic"' EXIT
iconv -f UTF-8 -t LATIN1//TRANSLIT "$lista" >"$dic"
# In Latin-1 every letter is one byte: A-Z, a-z and 192..255 without the signs 215 and 247.
iconv -f UTF-8 -t LATIN1//TRANSLIT "$texto" |
    LC_ALL=C tr -c 'A-Za-z\300-\326\330-\366\370-\377' '\n' | grep -a . >"$tmp"
echo "# The $n words heard most in $(basename "$texto") ($(dpkg -S "$texto" 2>/dev/null | cut -d: -f1 || true)), most frequent first; made by tools/frequentes/palavrasFrequentes.sh."
# Each word beside its lower-case form; counted by the lower-case form, and kept only when
# it was seen written so.
LC_ALL=C tr 'A-Z\300-\326\330-\336' 'a-z\340-\366\370-\376' <"$tmp" | paste -d ' ' "$tmp" - |
    LC_ALL=C awk -v dic="$dic" '
        BEGIN { while ((getline p < dic) > 0) conhecida[p] = 1 }
        { vezes[$2]++; if ($1 == $2) minuscula[$2] = 1 }
        END { for (p in vezes) if (p in minuscula && p in conhecida) print vezes[p], p }' |
    LC_ALL=C sort -k1,1nr -k2,2 | head -n "$n" | cut -d ' ' -f 2 |
    iconv -f LATIN1 -t UTF-8
