#!/usr/bin/env bash
# Builds the Debian package of QorCofra in build-package/ (the program alone,
# without tests and benchmarks) and prints where it is. Install it with
# sudo apt install ./build-package/qorcofra_<version>_<architecture>.deb
set -euo pipefail
cd "$(dirname "$0")/.."

# dpkg-dev: CPack finds the package's dependencies with its dpkg-shlibdeps.
scripts/setup.sh dpkg-dev
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCOFRA_BUILD_TESTS=OFF \
    -DCOFRA_BUILD_BENCH=OFF >/dev/null
cmake --build build-package
(cd build-package && cpack -G DEB)
ls "$PWD"/build-package/qorcofra_*.deb
