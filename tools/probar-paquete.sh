#!/bin/bash
# Installs a built package and tries it as an ordinary user with a home of its own: the batch program's help,
# the window program's first start under Xvfb (its file in the user's data folder) and a batch run that
# writes a PDF beside the database.
set -euo pipefail
RAIZ="$(cd "$(dirname "$0")/.." && pwd)"
DEB="$(realpath "$1")"
if [ "$(id -u)" -ne 0 ]; then
    exec sudo bash "$0" "$@"
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$DEB" xvfb xauth >/dev/null
CASA="$(mktemp -d /tmp/quorvel-usuario.XXXXXX)"
trap 'rm -rf "$CASA"' EXIT
chown nobody "$CASA"
como() { runuser -u nobody -- env -i HOME="$CASA" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"; }

# grep reads the whole help: with -q it would stop at the match and the program would die writing the rest.
como quorvel-lote --help | grep -- "--base FICHERO" >/dev/null
echo "quorvel-lote --help: bien"

# The window program creates its file at its first start; it is then closed from outside.
timeout 20 runuser -u nobody -- env -i HOME="$CASA" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    xvfb-run -a quorvel >"$CASA/ventana.log" 2>&1 || true
BASE="$CASA/.local/share/Quorvel/Quorvel.abs"
[ -s "$BASE" ] || { echo "La ventana no ha creado $BASE" >&2; cat "$CASA/ventana.log" >&2; exit 1; }
echo "quorvel: crea $BASE"

# A database written by SQLCipher 3.4, with a relative PDF folder, taken beside the file.
como mkdir -p "$CASA/compartida"
install -o nobody -m 600 "$RAIZ/tests/data/sqlcipher34.abs" "$CASA/compartida/Quorvel.abs"
como quorvel-lote --base "$CASA/compartida/Quorvel.abs" --empresa 1 --mes 201905
ls "$CASA"/compartida/PDF/Quorvel_0101_201905.pdf
echo "quorvel-lote: escribe el PDF junto a la base de datos"
