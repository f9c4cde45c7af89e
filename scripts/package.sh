#!/usr/bin/env bash
# Installs what is missing, builds TAVLO for /usr and packs it into a Debian package in build-deb/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh package
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DTAVLO_BUILD_TESTS=OFF
cmake --build build-deb -j2
(cd build-deb && cpack -G DEB)
ls -1 "$PWD"/build-deb/*.deb
