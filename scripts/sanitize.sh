#!/usr/bin/env bash
# The sanitizer job: builds the libraries without Qt (platform, olap, sheet),
# their tools, tests and the fuzz targets with clang, AddressSanitizer and
# UBSan (any finding stops the program), runs those tests, then runs every
# fuzz target over its seeds and corpus plus FUZZ_SECONDS (60) of fuzzing,
# two targets at a time. Fails on any test failure or fuzz finding.
# Builds into build-sanitize/ (or $SANITIZE_BUILD_DIR).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${SANITIZE_BUILD_DIR:-$top/build-sanitize}
seconds=${FUZZ_SECONDS:-60}
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
start=$SECONDS
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DPIVOTWIZARD_QT=OFF -DPIVOTWIZARD_SANITIZE=ON -DPIVOTWIZARD_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build "$build" --parallel "$(nproc)"
echo "sanitizer build: $((SECONDS - start)) s"

# Leaks are findings too; the symbolizer makes reports readable.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
start=$SECONDS
(cd "$build" && ctest --output-on-failure --parallel "$(nproc)" --timeout 600)
echo "sanitizer tests: $((SECONDS - start)) s"

start=$SECONDS
"$top/fuzz/run.sh" "$build" "$seconds"
echo "fuzzing: $((SECONDS - start)) s"
