#!/usr/bin/env bash
# Installs the Debian 12 packages Pixmora needs to build, test, package and run, and only
# those that are missing (clang and its runtime included: the tests build the fuzz targets).
# With --bench it adds the tools the benchmarks compare against; --fuzz is accepted for
# older instructions and adds nothing.
set -euo pipefail

packages=(
    cmake g++ make ninja-build pkg-config
    libjpeg62-turbo-dev
    libgtest-dev libgmock-dev
    clang libclang-rt-14-dev
    qt6-base-dev qt6-svg-dev qt6-qpa-plugins libgl-dev
    fonts-liberation fonts-dejavu-core
    mate-backgrounds
    colord-data libgs-common
    xvfb openbox xdotool x11-utils imagemagick python3 python3-xlib
    librsvg2-bin
    desktop-file-utils appstream mandoc
    dpkg-dev file
)
for arg in "$@"; do
    case "$arg" in
        --bench) packages+=(libjpeg-turbo-progs libvips-tools graphicsmagick imagemagick time valgrind) ;;
        --fuzz) ;;
        *) echo "usage: $0 [--bench] [--fuzz]" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}" >&2
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
