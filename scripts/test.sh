#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and with
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs the whole test suite headless.
# The install prefix lies inside the build folder, so that the tests may start installed programs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DTAVLO_WERROR=ON -DTAVLO_SANITIZE=ON -DTAVLO_BUILD_BENCH=ON \
  -DCMAKE_INSTALL_PREFIX="$PWD/build-test/prefix"
cmake --build build-test -j2
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j2
