#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the default quotation collection BUILD_DIR/frase.mdb (or TARGET)
# with BUILD_DIR/sentalia-db, from the 24 topic files of Debian's fortunes-es or, where that
# package is missing, from the small collection in resources/data/frases.csv.
#
# An existing frase.mdb is never touched. The collection is built under a
# temporary name and renamed at the end, so a failure leaves nothing behind.
set -eu

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "uso: $0 CARPETA_DE_COMPILACION [DESTINO]" >&2
    exit 2
fi
build=$1
here=$(cd "$(dirname "$0")" && pwd)
tool=$build/sentalia-db
target=${2:-$build/frase.mdb}
fortunes=${SENTALIA_FORTUNES_DIR:-/usr/share/games/fortunes/es}
# The topic files of fortunes-es; off/ and varios.fortunes-pre stay out.
topics="amistad arte asimov ciencia deprimente familia famosos filosofia humanos
informatica lao-tse leydemurphy libertad nietzsche pintadas poder proverbios
refranes sabiduria schopenhauer sentimientos varios verdad vida"

if [ -e "$target" ]; then
    echo "$target ya existe; se deja como está."
    exit 0
fi
if [ ! -x "$tool" ]; then
    echo "No se encuentra $tool: compile primero." >&2
    exit 1
fi

set --
missing=""
for topic in $topics; do
    if [ -f "$fortunes/$topic.fortunes.u8" ]; then
        set -- "$@" "$fortunes/$topic.fortunes.u8"
    elif [ -f "$fortunes/$topic.fortunes" ]; then
        set -- "$@" "$fortunes/$topic.fortunes"
    else
        missing="$missing $topic"
    fi
done
if [ $# -eq 0 ]; then
    echo "No está fortunes-es ($fortunes): se usa la colección incluida con el programa."
    set -- "$here/../resources/data/frases.csv"
elif [ -n "$missing" ]; then
    echo "Aviso: faltan estos temas de fortunes-es:$missing" >&2
fi

# The tool takes the first name that ends in .mdb for the collection.
tmp=$(dirname "$target")/.frase-$$.mdb
cleanup() {
    rm -f "$tmp" "$tmp-journal"
}
trap cleanup EXIT
trap 'exit 1' HUP INT TERM

"$tool" create "$tmp" >/dev/null
"$tool" import "$tmp" "$@"
"$tool" check "$tmp"

# A hard link never replaces a file that appeared meanwhile.
if ln "$tmp" "$target" 2>/dev/null; then
    :
elif [ -e "$target" ]; then
    echo "$target apareció mientras tanto; se deja como está."
    exit 0
else
    mv -n "$tmp" "$target"
fi
echo "Colección lista: $target"
