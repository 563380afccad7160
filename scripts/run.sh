#!/usr/bin/env bash
# Builds Corvanto and starts it under Wine from a portable folder (build/portable: the exe and its sounds).
# Without a display of your own it runs on a private Xvfb; set DISPLAY and CORVANTO_OWN_XVFB=0 to see it.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

bash scripts/setup-debian.sh
cmake --preset mingw >/dev/null
cmake --build --preset mingw --target Corvanto

BUILD_DIR="$ROOT/build/mingw"
PORTABLE="$ROOT/build/portable"
mkdir -p "$PORTABLE"
cp -f "$BUILD_DIR/bin/Corvanto.exe" "$BUILD_DIR"/bin/Alert*.wav "$PORTABLE/"

source scripts/wine-env.sh
trap wine_stop EXIT
trap "exit 130" INT TERM  # so that the EXIT trap runs on Ctrl+C and on kill too
wine_start
echo "Corvanto runs from $PORTABLE (log: $PORTABLE/log.txt). Ctrl+C ends it."
"${WINE64[@]}" explorer /desktop=Corvanto,1024x768 "$PORTABLE/Corvanto.exe" </dev/null
