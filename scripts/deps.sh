#!/usr/bin/env bash
# Installs what building, running, testing (ser2net, the network serial
# server the link tests run the tool through) and fuzzing (clang with
# libFuzzer), and making and checking the Debian package need on Debian 12
# (as root), and ccache and mold, which make builds after the first and every
# link faster.
# Does nothing when everything is already there.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config ccache mold
  libgtest-dev libgmock-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  xvfb xauth fonts-ipafont-gothic ser2net
  clang libclang-rt-14-dev
  librsvg2-bin dpkg-dev file lintian desktop-file-utils appstream groff-base
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}; run this as root (or install them with apt-get)." >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
