#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
# With --gui (the program command) LibreOffice Calc comes as the visible application.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev
  qt6-declarative-dev
  libsdl2-mixer-dev
  libqscintilla2-qt6-dev
  libx11-dev libxtst-dev libxfixes-dev
  libatspi2.0-dev at-spi2-core dbus-x11 dbus-daemon openbox x11-utils xterm
  qt6-serialport-dev libcurl4-openssl-dev
  xvfb xauth
  fonts-dejavu-core
  libqt6sql6-sqlite libqt6sql6-psql libqt6sql6-odbc
  postgresql unixodbc libsqliteodbc
  googletest libgtest-dev
  python3 lua5.4
  python3-pyftpdlib socat
  dpkg-dev file appstream desktop-file-utils groff-base   # the Debian package and the checks of its metadata
  chromium chromium-driver
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# LibreOffice Calc for the spreadsheet functions (the SDK to build them): any Calc package that is
# installed will do; otherwise the tests get the one without windows, the program the visible one.
if ! installed libreoffice-calc && ! installed libreoffice-calc-nogui; then
  if [ "${1:-}" = "--gui" ]; then PACKAGES+=(libreoffice-calc); else PACKAGES+=(libreoffice-calc-nogui); fi
fi
PACKAGES+=(libreoffice-dev)

missing=()
for p in "${PACKAGES[@]}"; do
  installed "$p" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
