# Sourced by the run, package and test commands: installs the Debian packages Decimon needs,
# when any of them is missing.

# Building and running the display (on X or Wayland), decimon-levels and the simulator, and
# packaging them (cpack finds the package's library dependencies with `file`).
DECIMON_RUN_PACKAGES=(
  build-essential cmake ninja-build pkg-config file
  qt6-base-dev qt6-base-private-dev qt6-wayland-dev wayland-protocols qt6-wayland
  libsnmp-dev libsqlite3-dev libmicrohttpd-dev libgnutls28-dev libyaml-cpp-dev libcrypt-dev
  libxss-dev libxext-dev fonts-arkpandora
)

# What the tests, benchmarks, fuzzers and the format check need on top: agents, SQLite's shell
# and a Prometheus server with its promtool, openssl for the endpoint's test certificates,
# GoogleTest and Google Benchmark, clang, X and Wayland servers with their tools.
DECIMON_TEST_PACKAGES=(
  snmpd snmp sqlite3 prometheus curl python3 openssl
  libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-14-dev
  xvfb xauth x11-utils xdotool imagemagick libxcb1-dev x11-xserver-utils
  locales desktop-file-utils dbus-daemon
  weston cage xwayland
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

# Configures and builds one build tree: decimon_build DIR [cmake options...]
decimon_build() {
  local dir=$1; shift
  cmake -S "$DECIMON_ROOT" -B "$dir" -G Ninja "$@"
  cmake --build "$dir" --parallel "$(nproc)"
}
