#!/usr/bin/env bash
# Installs what is missing, builds, starts the controller simulator on 127.0.0.1 and the program.
# In the connect window, enter 127.0.0.1 and click Connect.
#   scripts/run.sh            simulator + program
#   scripts/run.sh --sim-only simulator alone, in the foreground (Ctrl+C stops it)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVA_BUILD_TESTS=OFF -DKORVA_BUILD_BENCH=OFF

sim="$root/build/bin/korva-sim"
app="$root/build/KORVA Rivo.app/Contents/MacOS/KORVA Rivo"
usb="$root/build/usb-drive"
mkdir -p "$usb"

sim_args=(--address 127.0.0.1 --usb "$usb" --job)

if [[ "${1:-}" == "--sim-only" || ! -x "$app" ]]; then
    echo "Controller simulator on 127.0.0.1 (USB drive: $usb). Ctrl+C stops it."
    exec "$sim" "${sim_args[@]}"
fi

"$sim" "${sim_args[@]}" &
sim_pid=$!
trap 'kill "$sim_pid" 2>/dev/null || true' EXIT

echo "Controller simulator on 127.0.0.1 (USB drive: $usb)."
echo "In the connect window enter 127.0.0.1 and click Connect."
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && "$(uname -s)" != "Darwin" ]]; then
    echo "No display found: running the program on a virtual screen (xvfb-run)."
    xvfb-run -a -s "-screen 0 1920x1080x24" "$app"
else
    "$app"
fi
