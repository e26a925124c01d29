# Sourced by the run and test commands: installs the Debian packages Decimon
# needs for building, running and testing, when any of them is missing.

DECIMON_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libsnmp-dev snmpd snmp fonts-arkpandora
  libgtest-dev libgmock-dev libbenchmark-dev
  clang clang-format libclang-rt-14-dev
  xvfb xauth x11-utils xdotool imagemagick libxcb1-dev
)

decimon_install_packages() {
  local missing=() pkg
  for pkg in "${DECIMON_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y "${missing[@]}"
}

# Configures and builds one build tree: decimon_build DIR [cmake options...]
decimon_build() {
  local dir=$1; shift
  cmake -S "$DECIMON_ROOT" -B "$dir" -G Ninja "$@"
  cmake --build "$dir" --parallel "$(nproc)"
}
