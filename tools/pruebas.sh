#!/bin/bash
# Installs what is missing, builds and runs the whole test suite.
set -euo pipefail
RAIZ="$(cd "$(dirname "$0")/.." && pwd)"
bash "$RAIZ/tools/compilar.sh"
cd "$RAIZ/build"
ctest --output-on-failure -j"$(nproc)" --timeout 600
