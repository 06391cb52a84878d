#!/usr/bin/env bash
# Builds the benchmarks optimized (build/bench) and runs each; every one prints its ratios.
# With --user, runs bench/user/run.sh instead: the user's wait measured on the real program under X.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--user" ]; then
  shift
  exec bench/user/run.sh "$@"
fi
source scripts/packages.sh
mivo_install "${MIVO_BUILD_PACKAGES[@]}" "${MIVO_SYNC_SERVER_PACKAGES[@]}"
cmake -S . -B build/bench "$(mivo_generator)" -DCMAKE_BUILD_TYPE=Release -DMIVO_BENCH=ON >/dev/null
cmake --build build/bench --parallel "$(nproc)"
[ -n "${DISPLAY:-}" ] || export QT_QPA_PLATFORM=offscreen
for b in bench_views bench_addressbook bench_notepage bench_notebook bench_assets bench_shell bench_settings bench_ledger bench_find bench_exchange bench_sync; do
  echo "== $b"
  build/bench/bench/$b
done
