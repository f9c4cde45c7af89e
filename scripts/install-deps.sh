#!/usr/bin/env bash
# Installs the Debian packages TAVLO needs that are missing (Qt's chart module needs the OpenGL
# module's development files to be found by CMake; Qt's Linguist tools compile the translations). "run" for building and running,
# "package" adds the Debian packaging tools and lintian, "test" adds those and what the test suite uses
# (virtual display, browser for the display page and the phones' page, QR decoder, minisign to sign updates at test time,
# desktop file and metainfo validators, and Ninja and lld to build the suite faster).
set -euo pipefail
set_name=${1:-run}

packages=(cmake g++ make qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite libqt6sql6-psql libsqlite3-dev libgl-dev libsodium-dev qt6-httpserver-dev qt6-websockets-dev libqrencode-dev libfontconfig-dev rapidjson-dev pkg-config fonts-wine fonts-dejavu-core)
if [ "$set_name" = package ] || [ "$set_name" = test ]; then
  packages+=(dpkg-dev file lintian)
fi
if [ "$set_name" = test ]; then
  packages+=(ninja-build lld libbenchmark-dev xvfb xauth imagemagick chromium minisign zbar-tools desktop-file-utils appstream postgresql)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
