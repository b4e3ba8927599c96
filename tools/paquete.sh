#!/bin/bash
# Builds the Debian package of this tree (the .deb lands in the folder above it, as usual) and checks it.
set -euo pipefail
RAIZ="$(cd "$(dirname "$0")/.." && pwd)"
bash "$RAIZ/tools/paquetes.sh" build-essential debhelper fakeroot lintian desktop-file-utils appstream
cd "$RAIZ"
desktop-file-validate escritorio/es.quorvel.Quorvel.desktop
appstreamcli validate --no-net escritorio/es.quorvel.Quorvel.metainfo.xml
dpkg-buildpackage -us -uc -b
VERSION="$(dpkg-parsechangelog -S Version)"
CAMBIOS="$RAIZ/../quorvel_${VERSION}_$(dpkg --print-architecture).changes"
# Errors fail the build; the warnings that remain are explained in the README.
lintian --fail-on error --info "$CAMBIOS"
ls "$RAIZ"/../quorvel_"${VERSION}"_*.deb
