#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev
  qt6-declarative-dev
  libsdl2-mixer-dev
  libqscintilla2-qt6-dev
  libx11-dev
  qt6-serialport-dev libcurl4-openssl-dev
  xvfb xauth openbox
  fonts-dejavu-core
  libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc
  postgresql unixodbc libsqliteodbc
  googletest libgtest-dev
  python3
  python3-pyftpdlib socat
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
