#!/usr/bin/env bash
# Sets up, builds and starts QorCofra.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target QorCofra
exec build/bin/QorCofra "$@"
