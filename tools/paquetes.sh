#!/bin/bash
# Installs only the Debian packages that are missing, so a second run costs nothing.
set -euo pipefail
PAQUETES=(qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libsqlcipher-dev sqlcipher libcurl4-openssl-dev
          libgtest-dev fonts-liberation2 poppler-utils xvfb xauth python3-aiosmtpd openssl pkg-config cmake g++ sqlite3
          cups libcups2-dev
          python3-reportlab) # python3-reportlab: only the benchmark's ReportLab peer
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
