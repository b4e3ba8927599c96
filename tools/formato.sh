#!/bin/bash
# Fails when a tracked C++ file is off the style of .clang-format (clang-format's dry run with errors).
set -euo pipefail
RAIZ="$(cd "$(dirname "$0")/.." && pwd)"
cd "$RAIZ"
if ! command -v clang-format >/dev/null; then
    echo "Falta clang-format (tools/paquetes.sh lo instala)" >&2
    exit 2
fi
FALLOS=0
while IFS= read -r -d '' f; do
    if clang-format --dry-run -Werror "$f" >/dev/null 2>&1; then
        continue
    fi
    FALLOS=$((FALLOS + 1))
    echo "Fuera de formato: $f"
    clang-format --dry-run -Werror "$f" 2>&1 | head -n 12 | sed 's/^/    /' || true
done < <(git ls-files -z -- '*.cpp' '*.h')
if [ "$FALLOS" -gt 0 ]; then
    echo "$FALLOS ficheros fuera de formato: clang-format -i <fichero> los corrige" >&2
    exit 1
fi
echo "Formato: todo en orden ($(clang-format --version | head -n 1))"
