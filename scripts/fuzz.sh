#!/usr/bin/env bash
# Fuzzes the four readers of outside input (settings file, numbers, display fragment, board
# file) with libFuzzer for a while: builds them with clang into build-fuzz/, then runs each for
# the given number of seconds (default 60), with a work corpus of its own seeded from
# tests/fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/install-deps.sh test
if ! command -v clang++ >/dev/null; then
  sudo_cmd=(); [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
fi
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTAVLO_SANITIZE=ON
cmake --build build-fuzz -j2 --target fuzz_settings fuzz_number fuzz_fragment fuzz_boardfile
for name in settings number fragment boardfile; do
  work=build-fuzz/corpus-$name
  mkdir -p "$work"
  build-fuzz/tests/fuzz_$name -max_total_time="$seconds" -timeout=10 "$work" "tests/fuzz/corpus/$name"
done
