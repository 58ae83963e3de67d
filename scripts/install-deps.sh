#!/usr/bin/env bash
# The one list of Debian packages Tilora needs to build, run and test.
# Installs only what is missing, so a second run costs a few dpkg queries.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libqt6opengl6 qt6-qpa-plugins
  qt6-translations-l10n qt6-wayland weston man-db
  libjpeg62-turbo-dev libgif-dev libseccomp-dev
  libbenchmark-dev
  fonts-ipafont-gothic fontconfig
  xvfb xauth xdotool x11-utils imagemagick python3
  dpkg-dev file fakeroot lintian desktop-file-utils appstream
  python3-pil clang libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
