#!/bin/bash
# Configures once, then rebuilds only what changed.
set -euo pipefail
RAIZ="$(cd "$(dirname "$0")/.." && pwd)"
bash "$RAIZ/tools/paquetes.sh"
if [ ! -f "$RAIZ/build/CMakeCache.txt" ]; then
    cmake -S "$RAIZ" -B "$RAIZ/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$RAIZ/build" -j"$(nproc)"
