#!/bin/bash
# Installs what is missing, builds and starts Quorvel.
set -euo pipefail
RAIZ="$(cd "$(dirname "$0")/.." && pwd)"
bash "$RAIZ/tools/compilar.sh"
exec "$RAIZ/build/src/shell/quorvel" "$@"
