#!/usr/bin/env bash
# Builds one configuration, all of it or the targets named after --target:
#   scripts/build.sh DIR [cmake options...] [--target TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
options=() targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = --target ]; then shift; targets=(--target "$@"); break; fi
  options+=("$1"); shift
done
launcher=()
if command -v ccache >/dev/null 2>&1; then
  # Where ccache is installed, rebuilds and other checkouts of the tree reuse
  # earlier compilations, the precompiled headers included (the sloppiness
  # they need).
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
  export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "${options[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
