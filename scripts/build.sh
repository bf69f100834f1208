#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh <build-dir> [extra CMake arguments...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build"}
shift || true
cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir" --parallel "${KORVA_JOBS:-$(nproc 2>/dev/null || sysctl -n hw.ncpu)}"
