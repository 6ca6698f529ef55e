#!/usr/bin/env bash
# Sets up, builds and runs every test. With CI=true (or --sanitize) it then
# builds once more with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the whole suite again under them. Warnings are errors under CI.
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=false
if [ "${CI:-}" = "true" ] || [ "${1:-}" = "--sanitize" ]; then
    sanitize=true
fi
werror=OFF
[ "${CI:-}" = "true" ] && werror=ON

# libssl-dev: the cipher is checked against OpenSSL's RC4 (tests and benchmark only).
scripts/setup.sh libssl-dev

jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCOFRA_WERROR=$werror >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

if $sanitize; then
    cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCOFRA_SANITIZE=ON \
        -DCOFRA_WERROR=$werror -DCOFRA_BUILD_BENCH=OFF >/dev/null
    cmake --build build-sanitize -j "$jobs"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
fi
