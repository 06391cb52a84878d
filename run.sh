#!/usr/bin/env bash
# Installs what is missing, builds a Release build, puts the delivered files next to the executable
# and starts Mivo. --build-only stops after the build; --package makes the Debian package of that
# build instead of starting it. Other arguments go to the program (/max, /min, /hide).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh

build_only=0
package=0
args=()
for a in "$@"; do
  case "$a" in
    --build-only) build_only=1 ;;
    --package) package=1 ;;
    *) args+=("$a") ;;
  esac
done

mivo_install "${MIVO_BUILD_PACKAGES[@]}"
cmake -S . -B build/release "$(mivo_generator)" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"

if [ "$package" -eq 1 ]; then
  deb=$(cd build/release && cpack | sed -n 's|^CPack: - package: .*/\(.*\) generated\.$|\1|p')
  echo "Built: build/release/$deb"
  exit 0
fi

exe=build/release/bin/mivo
[ "$build_only" -eq 1 ] && { echo "Built: $exe"; exit 0; }

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to open the window on; start it on a virtual display: xvfb-run -a $exe ${args[*]:-}" >&2
  exit 1
fi
exec "$exe" "${args[@]}"
