# Debian packages the two commands need, and the one function that installs what is missing.
# Sourced by run.sh and test.sh.

MIVO_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6sql6-sqlite libqt6svg6 qt6-qpa-plugins
  qt6-charts-dev libqt6charts6 qtkeychain-qt6-dev libqt6keychain1
  libsqlite3-dev fonts-wqy-microhei qt6-translations-l10n
  libgsf-1-dev libgsf-1-114 libxlsxwriter-dev libxlsxwriter4 libicu-dev
  unicode-data libbz2-dev
  # ./run.sh --package: the libraries the package depends on, found by dpkg-shlibdeps in the binaries
  # that file picks out.
  dpkg-dev file)
# The end-to-end run: a real X server, a tray host, input and screenshots; what a screen reader reads
# the windows through (a session bus, the accessibility bus and its Python binding); the readers that
# check the exported spreadsheets; a desktop's own checker and launcher of the start entry; a print
# server with a printer that prints to PDF files, for the printer tab; the checkers of the Debian
# package, its menu entry and its AppStream metadata; the CardDAV server the address book's sync is
# tested and measured against, and the tool that makes its certificate; a desktop keyring (Secret
# Service) on a session bus of the test's own.
MIVO_SYNC_SERVER_PACKAGES=(radicale openssl)
MIVO_TEST_PACKAGES=(xvfb xauth trayer xdotool imagemagick x11-utils python3 python3-xlrd python3-openpyxl
  dbus-daemon at-spi2-core python3-gi gir1.2-atspi-2.0
  desktop-file-utils libglib2.0-bin cups printer-driver-cups-pdf
  lintian appstream "${MIVO_SYNC_SERVER_PACKAGES[@]}" gnome-keyring
  # Where a hung program's threads stood, printed when an end-to-end run fails.
  gdb)
# The benchmarks of the user's wait count instructions with callgrind.
MIVO_BENCH_PACKAGES=(valgrind)

mivo_missing_packages() {
  local p missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  echo "${missing[@]}"
}

# mivo_install PACKAGE...: installs the missing ones as root, or prints the exact line and fails.
mivo_install() {
  local missing
  missing=$(mivo_missing_packages "$@")
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing Debian packages. Install them with:" >&2
    echo "  sudo apt-get install -y $missing" >&2
    return 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  # shellcheck disable=SC2086
  if ! apt-get install -y -q $missing; then
    apt-get update -q
    # shellcheck disable=SC2086
    apt-get install -y -q $missing
  fi
}

mivo_generator() {
  if command -v ninja >/dev/null 2>&1; then echo "-GNinja"; else echo "-GUnix Makefiles"; fi
}
