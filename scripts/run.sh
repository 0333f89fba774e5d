#!/usr/bin/env bash
# Builds the program and shows it working. Until the window program exists,
# this runs the command-line tool on a sample settings file.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build
sample=build/sample.dat
build/tools/kvt540m-cli new "$sample"
build/tools/kvt540m-cli show "$sample"
build/tools/kvt540m-cli send "$sample" all --dry-run | head -c 400; echo
