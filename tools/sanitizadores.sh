#!/bin/bash
# Builds the sanitizer variant (AddressSanitizer with leak checking, UndefinedBehaviorSanitizer) in its own
# folder, build-asan, and runs the whole test suite under it. Any report fails, including one written by a
# program a test starts (store_writer, quorvel-lote), whose exit code a test might not look at.
set -euo pipefail
RAIZ="$(cd "$(dirname "$0")/.." && pwd)"
CARPETA="$RAIZ/build-asan"
bash "$RAIZ/tools/paquetes.sh"
if [ ! -f "$CARPETA/CMakeCache.txt" ]; then
    # -O1 with line tables only: the reports keep their file and line, and the build takes far less time.
    # Several sources compiled as one halve it again; the README's build keeps one object per source, so a
    # missing include still shows there.
    cmake -S "$RAIZ" -B "$CARPETA" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
        -DQUORVEL_SANITIZERS=ON -DCMAKE_UNITY_BUILD=ON
fi
cmake --build "$CARPETA" -j"$(nproc)"

INFORMES="$CARPETA/informes-sanitizadores"
rm -rf "$INFORMES"
mkdir -p "$INFORMES"
# The suppressions and the rest of the options are compiled into the test programs; these add where the
# reports go, so none is lost.
export ASAN_OPTIONS="detect_leaks=1:log_path=$INFORMES/asan"
export LSAN_OPTIONS="suppressions=$RAIZ/tests/sanitizadores/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$INFORMES/ubsan"
RESULTADO=0
(cd "$CARPETA" && ctest --output-on-failure -j"$(nproc)" --timeout 900) || RESULTADO=$?
if compgen -G "$INFORMES/*" >/dev/null; then
    echo "Informes de los sanitizadores:" >&2
    for f in "$INFORMES"/*; do
        echo "== $f" >&2
        cat "$f" >&2
    done
    RESULTADO=1
fi
exit "$RESULTADO"
