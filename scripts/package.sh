#!/usr/bin/env bash
# Builds the Debian package build/kvt540m_VERSION_ARCH.deb (CPack's DEB
# generator; Depends from dpkg-shlibdeps). Install it with
#   apt install ./build/kvt540m_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build
rm -f build/kvt540m_*.deb
(cd build && cpack -G DEB >/dev/null)
ls build/kvt540m_*.deb
