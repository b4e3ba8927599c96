#!/bin/bash
# Installs only the Debian packages that are missing, so a second run costs nothing.
set -euo pipefail
# Names valid on Debian 12 and 13; other scripts add their own as arguments.
PAQUETES=(qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libsqlcipher-dev sqlcipher libcurl4-openssl-dev
          libssl-dev libgtest-dev fonts-liberation2 poppler-utils xvfb xauth python3-aiosmtpd openssl pkgconf cmake
          make g++ sqlite3 cups libcups2-dev libgmime-3.0-dev libcsv-dev libical-dev
          python3-reportlab "$@") # python3-reportlab: only the benchmark's ReportLab peer
# The checks of .ci/run: the format check, the sanitizer build's run-time libraries, readelf.
PAQUETES+=(clang-format libasan8 libubsan1 binutils)
FALTAN=()
for p in "${PAQUETES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || FALTAN+=("$p")
done
if [ ${#FALTAN[@]} -gt 0 ]; then
    echo "Instalando: ${FALTAN[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${FALTAN[@]}"
fi
