#!/bin/bash
# Runs the README's test command on a fresh Debian 13 system in a chroot, builds and tries the Debian 13
# package there, and passes database files both ways between this machine's build and the one in the chroot.
# With --sin-paquete (what CI runs) the package part is left out: the suite and the files are what change
# from one commit to the next; the package is built and tried by hand (README, "Debian 13").
set -euo pipefail
PAQUETE=1
[ "${1:-}" = "--sin-paquete" ] && PAQUETE=0
RAIZ="$(cd "$(dirname "$0")/.." && pwd)"
if [ "$(id -u)" -ne 0 ]; then
    exec sudo bash "$0" "$@"
fi
INICIO=$SECONDS
command -v debootstrap >/dev/null || {
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
}

# The package archive this machine already uses.
espejo() {
    local uri
    uri=$(sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\/debian\/\?\)[[:space:]]*$/\1/p' /etc/apt/sources.list.d/*.sources \
              2>/dev/null | head -n1)
    [ -n "$uri" ] || uri=$(awk '$1 == "deb" && $2 !~ /security/ {print $2; exit}' /etc/apt/sources.list 2>/dev/null)
    echo "${uri:-http://deb.debian.org/debian}"
}
ESPEJO="${QUORVEL_ESPEJO:-$(espejo)}"
# A second run unpacks the base system instead of downloading it again; a fresh machine simply builds it.
CACHE="${QUORVEL_CACHE:-/var/cache/quorvel}"
BASE="$CACHE/trixie-minbase.tar.gz"
SISTEMA="$(mktemp -d /var/tmp/quorvel-trixie.XXXXXX)"
INTERCAMBIO="$(mktemp -d /tmp/quorvel-intercambio.XXXXXX)"

desmontar() {
    for m in dev/pts dev sys proc; do
        if mountpoint -q "$SISTEMA/$m"; then umount -l "$SISTEMA/$m" || true; fi
    done
    rm -rf --one-file-system "$SISTEMA" "$INTERCAMBIO"
}
trap desmontar EXIT
# Stopped by a signal, the script still releases the mounts and removes the chroot.
trap "exit 130" INT TERM HUP

if [ -f "$BASE" ] && [ -z "$(find "$BASE" -mtime +7)" ]; then
    echo "== Debian 13 de $BASE"
    tar -xzf "$BASE" -C "$SISTEMA"
else
    echo "== debootstrap trixie desde $ESPEJO"
    debootstrap --variant=minbase trixie "$SISTEMA" "$ESPEJO" >/dev/null
    mkdir -p "$CACHE"
    tar -czf "$BASE.tmp" -C "$SISTEMA" . && mv "$BASE.tmp" "$BASE"
fi
# mktemp made the folder for its owner only, and the archive keeps that: the print service's filters run as
# user lp and could not reach a single program of the system.
chmod 755 "$SISTEMA"
# Packages installed in the chroot must not start their services on this machine.
printf '#!/bin/sh\nexit 101\n' >"$SISTEMA/usr/sbin/policy-rc.d"
chmod +x "$SISTEMA/usr/sbin/policy-rc.d"
# A system thrown away at the end needs no sync after every file dpkg unpacks.
echo force-unsafe-io >"$SISTEMA/etc/dpkg/dpkg.cfg.d/quorvel-unsafe-io"
cp /etc/resolv.conf "$SISTEMA/etc/resolv.conf"
mount -t proc proc "$SISTEMA/proc"
mount -t sysfs sys "$SISTEMA/sys"
mount --bind /dev "$SISTEMA/dev"
mount --bind /dev/pts "$SISTEMA/dev/pts"
echo "   listo en $((SECONDS - INICIO)) s"

en13() { chroot "$SISTEMA" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

echo "== Pruebas en Debian 13"
git clone -q "$RAIZ" "$SISTEMA/root/quorvel"
en13 bash -c 'cd /root/quorvel && bash tools/pruebas.sh'
echo "   pruebas en $((SECONDS - INICIO)) s"

echo "== Ficheros entre Debian 12 y Debian 13"
bash "$RAIZ/tools/compilar.sh" >/dev/null
ESCRITOR12="$RAIZ/build/tests/store_writer"
ESCRITOR13=/root/quorvel/build/tests/store_writer
filas() { printf "PRAGMA key = '%s';\nSELECT count(*) FROM Listado;\n" "$(clave)" | sqlcipher "$1" | tail -n1; }
clave() { sed -n 's/.*QByteArrayLiteral("\(.*\)").*/\1/p' "$RAIZ/src/store/Key.cpp"; }
"$ESCRITOR12" "$INTERCAMBIO/de12.abs" d12_ 3
cp "$INTERCAMBIO/de12.abs" "$SISTEMA/root/de12.abs"
en13 "$ESCRITOR13" /root/de12.abs d13_ 2
cp "$SISTEMA/root/de12.abs" "$INTERCAMBIO/de12.abs"
[ "$(filas "$INTERCAMBIO/de12.abs")" = 5 ] || { echo "El fichero de Debian 12 no vuelve con sus 5 filas" >&2; exit 1; }
en13 "$ESCRITOR13" /root/de13.abs d13_ 4
cp "$SISTEMA/root/de13.abs" "$INTERCAMBIO/de13.abs"
"$ESCRITOR12" "$INTERCAMBIO/de13.abs" d12_ 1
[ "$(filas "$INTERCAMBIO/de13.abs")" = 5 ] || { echo "El fichero de Debian 13 no se lee en Debian 12" >&2; exit 1; }
echo "   un fichero de Debian 12 se abre y se escribe en Debian 13, y uno de Debian 13 en Debian 12"

if [ "$PAQUETE" -eq 0 ]; then
    echo "== Debian 13 correcto (sin paquete) en $((SECONDS - INICIO)) s"
    exit 0
fi
echo "== Paquete de Debian 13"
en13 bash -c 'cd /root/quorvel && bash tools/paquete.sh'
mkdir -p "$RAIZ/../debian13" && cp "$SISTEMA"/root/quorvel_*.deb "$RAIZ/../debian13/"
en13 bash -c 'cd /root && bash /root/quorvel/tools/probar-paquete.sh /root/quorvel_*.deb'
echo "== Debian 13 correcto en $((SECONDS - INICIO)) s"
