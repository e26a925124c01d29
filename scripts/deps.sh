# Sourced by the run, package and test commands: installs the Debian packages Decimon needs,
# when any of them is missing.

# Building and running the display (on X or Wayland), decimon-levels and the simulator, and
# packaging them (cpack finds the package's library dependencies with `file`).
DECIMON_RUN_PACKAGES=(
  build-essential cmake ninja-build pkg-config file
  qt6-base-dev qt6-base-private-dev qt6-wayland-dev wayland-protocols qt6-wayland
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libsnmp-dev libsqlite3-dev libmicrohttpd-dev libgnutls28-dev libyaml-cpp-dev libcrypt-dev
  libxss-dev libxext-dev fonts-arkpandora
)

# What the tests, benchmarks, fuzzers and the format check need on top: agents, SQLite's shell
# and a Prometheus server with its promtool and Alertmanager (the shipped route, the alert's
# delivery), systemd-analyze for the kiosk's drop-in, openssl for the endpoint's test certificates,
# GoogleTest and Google Benchmark, clang, X and Wayland servers with their tools, poppler's tools
# to read the reports back, groff to check the manual pages, lintian (with build-essential's
# dpkg-parsechangelog) to check the package, an OCR engine with German to read the wall in
# German off the screen, and ccache for the test command's builds.
DECIMON_TEST_PACKAGES=(
  ccache snmpd snmp sqlite3 prometheus curl python3 openssl
  libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-14-dev
  xvfb xauth x11-utils xdotool imagemagick libxcb1-dev x11-xserver-utils
  locales desktop-file-utils dbus-daemon
  weston cage xwayland
  poppler-utils tesseract-ocr tesseract-ocr-deu
  groff lintian prometheus-alertmanager systemd
)

# decimon_install_packages PACKAGE...: installs those of them that are missing.
decimon_install_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "${missing[@]}"
}

# The tests also run the display under a German desktop language (comma as decimal
# point): generates de_DE.UTF-8 when it is missing.
decimon_enable_test_locale() {
  locale -a 2>/dev/null | grep -qix 'de_DE.utf8' && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -qx 'de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo[@]}" locale-gen
}

# The test command's builds compile through ccache, keyed so that a fresh clone in another
# folder hits the cache of an earlier run on the same machine: paths below the checkout's root
# count relative to it (CCACHE_BASEDIR) and the build folder is not hashed (CCACHE_NOHASHDIR).
# The launcher changes no compiler flag, so the plain, sanitizer and fuzzer trees stay apart by
# their flags; 10 GB holds the four of them. Pass "${DECIMON_CCACHE[@]}" to cmake.
decimon_use_ccache() {
  export CCACHE_BASEDIR=$DECIMON_ROOT CCACHE_NOHASHDIR=1 CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-10G}
  DECIMON_CCACHE=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
}

# Configures and builds one build tree: decimon_build DIR [cmake options...]
decimon_build() {
  local dir=$1; shift
  cmake -S "$DECIMON_ROOT" -B "$dir" -G Ninja "$@"
  cmake --build "$dir" --parallel "$(nproc)"
}
