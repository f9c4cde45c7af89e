#!/usr/bin/env bash
# Installs what is missing, builds the programs and the tests with warnings as errors and with
# AddressSanitizer (leaks included) and UndefinedBehaviorSanitizer, compiles the benchmarks and
# demos, and runs the whole test suite headless.
# The install prefix lies inside the build folder, so that the tests may start installed programs.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
# Ninja keeps both cores busy across targets, and lld links the large sanitized programs much
# faster than the default linker; line tables (-g1) are all the sanitizers' reports need, and
# make every compile and link lighter. A build folder another generator made is made afresh.
if [ -f build-test/CMakeCache.txt ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' build-test/CMakeCache.txt; then
  rm -rf build-test
fi
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVLO_WERROR=ON -DTAVLO_SANITIZE=ON -DTAVLO_BUILD_BENCH=ON \
  -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_INSTALL_PREFIX="$PWD/build-test/prefix"
cmake --build build-test -j2
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300 -j2
