#!/usr/bin/env bash
# Sets up, builds and runs every test. With CI=true (or --package, as root) the
# tests include the Debian package, installed into this machine and removed
# again. With CI=true (or --tidy) it then runs clang-tidy over every source file
# of the program, its tests and benchmarks, failing on any finding, and checks
# every source's layout with clang-format. With CI=true
# (or --sanitize) it then builds once more with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the whole suite again under them.
# Warnings are errors under CI.
# usage: scripts/test.sh [--tidy] [--sanitize] [--package]
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=false
tidy=false
package=false
werror=OFF
if [ "${CI:-}" = "true" ]; then
    sanitize=true
    tidy=true
    package=true
    werror=ON
fi
for arg in "$@"; do
    case "$arg" in
    --sanitize) sanitize=true ;;
    --tidy) tidy=true ;;
    --package) package=true ;;
    *)
        echo "usage: scripts/test.sh [--tidy] [--sanitize] [--package]" >&2
        exit 2
        ;;
    esac
done
if $package && [ "$(id -u)" -ne 0 ]; then
    echo "The package test installs the package into this machine: run it as root." >&2
    exit 2
fi

# libssl-dev: the cipher is checked against OpenSSL's RC4 (tests and benchmark only).
# argon2: the strong form's key derivation is checked against Debian's argon2 tool.
# desktop-file-utils, appstream: the menu entry and the software centre's data are validated.
# dpkg-dev: CPack finds the package's dependencies with its dpkg-shlibdeps.
extra=(libssl-dev argon2 desktop-file-utils appstream)
$tidy && extra+=(clang-tidy clang-format)
$package && extra+=(dpkg-dev)
scripts/setup.sh "${extra[@]}"

jobs=$(nproc 2>/dev/null || echo 2)

# Every include within the layers of scripts/layers.txt, before anything is built.
scripts/check-layers.sh
if $tidy; then
    # Every source as .clang-format lays it out.
    git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror ||
        { echo "clang-format would change the files above: run clang-format -i on them" >&2; exit 1; }
    echo "clang-format: every source laid out as .clang-format says"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCOFRA_WERROR=$werror \
    -DCOFRA_TEST_PACKAGE=$($package && echo ON || echo OFF) >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

if $tidy; then
    # The build above wrote compile_commands.json and the generated headers the
    # sources include. Only the tree's own sources are checked, not the files
    # the build generates; .clang-tidy picks the checks and our headers. GCC's
    # warning flags that clang does not know must not stop the run.
    root=$(pwd)
    started=$SECONDS
    files=$(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' build/compile_commands.json | sort -u |
        grep -E "^$root/(app|bench|colour|crypto|dialogs|editor|flows|picker|platform|resources|store|tests)/")
    xargs -P "$jobs" -n 1 clang-tidy -p build --quiet --warnings-as-errors='*' \
        --extra-arg=-Wno-unknown-warning-option <<<"$files" ||
        { echo "clang-tidy reported findings (see above)" >&2; exit 1; }
    echo "clang-tidy: $(wc -l <<<"$files") files, no findings, $((SECONDS - started)) s"
fi

if $sanitize; then
    cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCOFRA_SANITIZE=ON \
        -DCOFRA_WERROR=$werror -DCOFRA_BUILD_BENCH=OFF >/dev/null
    cmake --build build-sanitize -j "$jobs"
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
fi
