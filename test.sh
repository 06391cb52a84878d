#!/usr/bin/env bash
# Installs what is missing, builds the test configuration (address and undefined-behaviour
# sanitizers, warnings as errors) and runs every test through ctest without a display.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh

mivo_install "${MIVO_BUILD_PACKAGES[@]}" "${MIVO_TEST_PACKAGES[@]}"
cmake -S . -B build/test "$(mivo_generator)" -DCMAKE_BUILD_TYPE=Debug \
  -DMIVO_TESTS=ON -DMIVO_SANITIZE=ON -DMIVO_WERROR=ON -DMIVO_BENCH=ON >/dev/null
cmake --build build/test --parallel "$(nproc)"
cd build/test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" "$@"
