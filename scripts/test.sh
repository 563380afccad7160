#!/usr/bin/env bash
# Prepares this machine (Debian 12), builds Corvanto and its tests, and runs every test under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

bash scripts/setup-debian.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw

BUILD_DIR="$ROOT/build/mingw"
source scripts/wine-env.sh
trap wine_stop EXIT
trap "exit 130" INT TERM  # so that the EXIT trap runs on Ctrl+C and on kill too
wine_start
ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 900 "$@"
