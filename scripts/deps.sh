#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev
  qt6-declarative-dev
  libsdl2-mixer-dev
  libqscintilla2-qt6-dev
  libx11-dev libxtst-dev libxfixes-dev
  libatspi2.0-dev at-spi2-core dbus-x11 dbus-daemon openbox x11-utils xterm
  xvfb xauth
  fonts-dejavu-core
  googletest libgtest-dev
  python3
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
