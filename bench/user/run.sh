#!/usr/bin/env bash
# What the user waits for: builds the optimized copy (build/bench), then measures start-up and the
# address book's lists on the real program under a virtual X server and prints the table of each
# action, today's figure and its goal. Databases, screenshots and the table stay in build/bench/user.
#   bench/user/run.sh [--rounds N] [--instruction-rounds N] [--only startup,lists,memory,small,expand]
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/packages.sh
mivo_install "${MIVO_BUILD_PACKAGES[@]}" "${MIVO_TEST_PACKAGES[@]}" "${MIVO_BENCH_PACKAGES[@]}"
cmake -S . -B build/bench "$(mivo_generator)" -DCMAKE_BUILD_TYPE=Release -DMIVO_BENCH=ON >/dev/null
cmake --build build/bench --parallel "$(nproc)" --target mivo mivo_pictures mivo_database \
  bench_user_data bench_bare_window bench_sqlite_steps bench_views
exec /usr/bin/python3 -B bench/user/bench_user.py --build build/bench --keep build/bench/user "$@"
