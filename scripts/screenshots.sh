#!/usr/bin/env bash
# Builds the screenshot tool and writes pictures of every window to docs/screenshots/:
#   scripts/screenshots.sh [build-dir]
# The main window is driven by a simulated controller on 127.0.0.98 inside the tool; no display is
# needed (offscreen platform). Pictures are drawn at twice the window size, as on a Retina display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build"}
cmake -S "$root" -B "$dir" -G Ninja -DKORVA_BUILD_APP=ON >/dev/null
cmake --build "$dir" --target korva_screenshots --parallel "${KORVA_JOBS:-2}"
mkdir -p "$root/docs/screenshots"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} QT_SCALE_FACTOR=${QT_SCALE_FACTOR:-2} LC_ALL=C.UTF-8 \
    "$dir/bin/korva_screenshots" "$root/docs/screenshots"
