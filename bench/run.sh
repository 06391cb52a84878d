#!/usr/bin/env bash
# Builds the benchmarks optimized (build/bench) and runs each; every one prints its ratios.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
mivo_install "${MIVO_BUILD_PACKAGES[@]}"
cmake -S . -B build/bench "$(mivo_generator)" -DCMAKE_BUILD_TYPE=Release -DMIVO_BENCH=ON >/dev/null
cmake --build build/bench --parallel "$(nproc)"
[ -n "${DISPLAY:-}" ] || export QT_QPA_PLATFORM=offscreen
for b in bench_views bench_addressbook bench_notepage bench_notebook bench_shell bench_settings; do
  echo "== $b"
  build/bench/bench/$b
done
