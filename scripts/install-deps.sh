#!/usr/bin/env bash
# Installs what building, running and testing KORVA Rivo needs, and nothing that is already there.
# Debian/Ubuntu: apt-get. macOS: Homebrew (see README).
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl1-mesa-dev
    libqrencode-dev zlib1g-dev
    xvfb xauth x11-utils imagemagick fonts-dejavu-core
    locales
)

if [[ "$(uname -s)" == "Darwin" ]]; then
    command -v brew >/dev/null || { echo "Homebrew is needed: https://brew.sh" >&2; exit 1; }
    for formula in cmake ninja qt qrencode; do
        brew list --formula "$formula" >/dev/null 2>&1 || brew install "$formula"
    done
    exit 0
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

sudo_cmd=()
[[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The locale tests check that a German desktop still gets "3.10" and "1:5:9".
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    echo "Generating the de_DE.UTF-8 locale"
    if [[ -f /etc/locale.gen ]]; then
        "${sudo_cmd[@]}" sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
        "${sudo_cmd[@]}" locale-gen >/dev/null
    else
        "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
    fi
fi
