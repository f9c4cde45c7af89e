#!/usr/bin/env bash
# Installs what is missing, builds TAVLO and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTAVLO_BUILD_TESTS=OFF
cmake --build build -j2
exec build/bin/TAVLO "$@"
